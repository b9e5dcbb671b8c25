// The record window driven like a user: typing, moving, saving, emptying, closing, and
// reading the database afterwards.
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTime>

#include "common/Pixels.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "shell/ApplicationIcon.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

const QString kToday = QDate::currentDate().toString("yyyy/MM/dd");

TEST_F(RecordWindowTest, ANewSetOpensOnAnEmptyRecordAndTypingThenMovingStoresIt) {
    addSet(1, "英単語");
    addRecord(41, 9, "another set's record");  // highest ID 41
    frmMDIChild* w = openSet(1);
    ASSERT_NE(w, nullptr);
    const int slot = w->slot();
    EXPECT_TRUE(shell::mainModule().childSettings[slot].activated);
    EXPECT_FALSE(w->recordChanged);  // the empty record is not an edit
    EXPECT_EQ(w->txtPonit->text(), "0.0");
    EXPECT_EQ(w->windowTitle(), "英単語");

    typeInto(w->txtData[0], "apple");
    typeInto(w->txtData[1], "りんご");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    ASSERT_EQ(recordCount(1), 1);
    EXPECT_EQ(field(42, "項目1"), "apple");
    EXPECT_EQ(field(42, "項目2"), "りんご");
    EXPECT_TRUE(field(42, "項目1RTF").startsWith("{\\rtf1"));
    EXPECT_EQ(field(42, "登録日"), kToday);
    EXPECT_EQ(field(42, "正解回数"), "0");
    EXPECT_EQ(field(42, "出題回数"), "0");
    EXPECT_FALSE(field(42, "登録時刻").isEmpty());
    EXPECT_EQ(shell::mainModule().highestID, 42);
    EXPECT_EQ(w->txtData[0]->Text(), "apple");  // shown as the last record
    EXPECT_EQ(w->txtRecordDay->text(), kToday);
}

TEST_F(RecordWindowTest, AnEmptyNewRecordIsNeverStored) {
    addSet(1, "a");
    addRecord(1, 1, "first");
    frmMDIChild* w = openSet(1);
    w->mnuNewRecord_Click();
    EXPECT_EQ(w->txtData[0]->Text(), "");
    QTest::mouseClick(w->cmdEndRecord, Qt::LeftButton);
    EXPECT_EQ(recordCount(1), 1);
    EXPECT_EQ(w->txtData[0]->Text(), "first");
}

TEST_F(RecordWindowTest, EditingUpdatesTextsAndDateButKeepsTheTime) {
    addSet(1, "a");
    addRecord(1, 1, "old", "2020/02/02", "07:08:09");
    addRecord(2, 1, "second", "2021/01/01");
    frmMDIChild* w = openSet(1);
    EXPECT_EQ(w->txtData[0]->Text(), "old");
    w->txtData[0]->setFocus();
    w->txtData[0]->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->txtData[0], "er");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    EXPECT_EQ(field(1, "項目1"), "older");
    EXPECT_EQ(field(1, "登録日"), kToday);
    EXPECT_EQ(field(1, "登録時刻"), "7:08:09");
    EXPECT_EQ(w->txtData[0]->Text(), "second");
}

TEST_F(RecordWindowTest, EmptyingAllBoxesAsksAndDeletesOrKeeps) {
    addSet(1, "a");
    addRecord(1, 1, "one", "2020/01/01");
    addRecord(2, 1, "two", "2020/01/02");
    addRecord(3, 1, "three", "2020/01/03");
    frmMDIChild* w = openSet(1);
    w->txtData[0]->setText("");
    boxes->queue("OK");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].title, "データチェック");
    EXPECT_EQ(boxes->shown()[0].text, "データがありません。このデータを削除しますか？");
    EXPECT_EQ(field(1, "項目1"), "<none>");
    EXPECT_EQ(recordCount(1), 2);

    w->txtData[0]->setText("");
    boxes->queue("キャンセル");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    // The check moved on once after deleting, the button once more: "three" was emptied.
    EXPECT_EQ(recordCount(1), 2);
    EXPECT_EQ(field(3, "項目1"), "");
    EXPECT_EQ(field(2, "項目1"), "two");
}

TEST_F(RecordWindowTest, NavigationStaysAtTheEnds) {
    addSet(1, "a");
    addRecord(1, 1, "one", "2020/01/01");
    addRecord(2, 1, "two", "2020/01/02");
    frmMDIChild* w = openSet(1);
    QTest::mouseClick(w->cmdBack, Qt::LeftButton);
    EXPECT_EQ(w->txtData[0]->Text(), "one");
    QTest::mouseClick(w->cmdEndRecord, Qt::LeftButton);
    EXPECT_EQ(w->txtData[0]->Text(), "two");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    EXPECT_EQ(w->txtData[0]->Text(), "two");
    QTest::mouseClick(w->cmdStartRecord, Qt::LeftButton);
    EXPECT_EQ(w->txtData[0]->Text(), "one");
    EXPECT_EQ(shell::mainModule().childSettings[w->slot()].shownPosition, 0);
}

TEST_F(RecordWindowTest, DeleteRecordShowsAnExistingRecordOrTheNewRecordState) {
    addSet(1, "a");
    addRecord(1, 1, "one", "2020/01/01");
    addRecord(2, 1, "two", "2020/01/02");
    frmMDIChild* w = openSet(1);
    boxes->queue("OK");
    w->mnuDeleteRecord_Click();
    EXPECT_EQ(boxes->shown().back().text, "このデータ１件を削除します。よろしいですか？");
    EXPECT_EQ(recordCount(1), 1);
    EXPECT_EQ(w->txtData[0]->Text(), "two");
    boxes->queue("OK");
    w->mnuDeleteRecord_Click();
    EXPECT_EQ(recordCount(1), 0);
    EXPECT_TRUE(shell::mainModule().childSettings[w->slot()].newRecord);
    EXPECT_EQ(w->txtData[0]->Text(), "");
    w->mnuDeleteRecord_Click();
    EXPECT_EQ(boxes->shown().back().text, "データがありません。");
}

TEST_F(RecordWindowTest, ClosingSavesTypedTextAndWritesTheWindowState) {
    addSet(1, "a", "：,^@", "、");
    addRecord(1, 1, "one");
    frmMDIChild* w = openSet(1);
    w->txtData[2]->setFocus();
    QTest::keyClicks(w->txtData[2], "typed");
    records::MoveDelimiterToTop(w->slot(), 0, 1);  // ^@ to the front
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    ASSERT_NE(sub, nullptr);
    sub->setGeometry(10, 20, 700, 600);
    sub->close();
    QApplication::processEvents();
    EXPECT_EQ(field(1, "項目3"), "typed");
    auto rs = shell::mainModule().database->OpenRecordset(
        "select * from データベース設定 where dbID = 1");
    EXPECT_EQ(rs->value("区切り12").toString(), "^@,：");
    EXPECT_FALSE(rs->value("終了状態").toBool());
    EXPECT_EQ(rs->value("画面X").toLong(), 150);
    EXPECT_EQ(rs->value("画面Y").toLong(), 300);
    EXPECT_EQ(rs->value("画面幅").toLong(), 10500);
    EXPECT_EQ(rs->value("WindowState").toLong(), 0);
    EXPECT_TRUE(shell::mainModule().childSettings[0].slotFree);
    EXPECT_EQ(shell::mainModule().openWindowCount, 0);
}

TEST_F(RecordWindowTest, ExitKeepsWindowsForTheNextStartMaximisedLast) {
    addSet(1, "a");
    addSet(2, "b");
    addSet(3, "c");
    addSet(4, "closed by hand");
    openSet(1);
    frmMDIChild* w2 = openSet(2);
    openSet(3);
    typeInto(w2->txtData[0], "unsaved at exit");
    shell::mainModule().closing = true;
    records::CloseRecordWindowsForExit();
    EXPECT_EQ(recordCount(2), 1);  // typed text is not lost at exit
    auto rs = shell::mainModule().database->OpenRecordset(
        "select * from データベース設定 where 終了状態 = True");
    EXPECT_EQ(rs->RecordCount(), 3);

    // The next start: the normal windows first, the maximised one last.
    const auto execute = [](const char* sql) { shell::mainModule().database->Execute(sql); };
    execute("UPDATE データベース設定 SET WindowState = 0");
    execute("UPDATE データベース設定 SET WindowState = 2 WHERE dbID = 1");
    const auto reopenedOrder = [&] {
        shell::resetMainModule();
        shell::openDataStore(file.folder());
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        records::ReopenRecordWindows();
        std::vector<int> order;
        for (const auto& slot : shell::mainModule().childSettings) order.push_back(slot.dbID);
        return order;
    };
    for (QMdiSubWindow* sub : area->subWindowList()) delete sub;
    EXPECT_EQ(reopenedOrder(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(area->activeSubWindow()->widget(), records::windowOfSlot(2));
    EXPECT_TRUE(area->activeSubWindow()->isMaximized());

    // Two maximised rows: the earlier one is still reopened, the later one comes last.
    shell::mainModule().closing = true;
    for (QMdiSubWindow* sub : area->subWindowList()) delete sub;
    execute("UPDATE データベース設定 SET WindowState = 2 WHERE dbID = 3");
    EXPECT_EQ(reopenedOrder(), (std::vector<int>{2, 1, 3}));
}

TEST_F(RecordWindowTest, OpeningAnOpenSetOnlyBringsItForward) {
    addSet(1, "a");
    addSet(2, "b");
    frmMDIChild* w1 = openSet(1);
    openSet(2);
    EXPECT_EQ(shell::mainModule().openWindowCount, 2);
    EXPECT_EQ(openSet(1), w1);
    EXPECT_EQ(shell::mainModule().openWindowCount, 2);
    EXPECT_EQ(shell::mainModule().childSettings.size(), 2u);
}

TEST_F(RecordWindowTest, ReopeningAClosedSetReusesItsSlot) {
    addSet(1, "a");
    frmMDIChild* w = openSet(1);
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->close();
    QApplication::processEvents();
    frmMDIChild* again = openSet(1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(shell::mainModule().childSettings.size(), 1u);
    EXPECT_EQ(again->slot(), 0);
    EXPECT_EQ(shell::mainModule().openWindowCount, 1);
}

TEST_F(RecordWindowTest, RefreshKeepsThePositionAndShowsNewCounters) {
    addSet(1, "a");
    addRecord(1, 1, "one", "2020/01/01");
    addRecord(2, 1, "two", "2020/01/02", "10:00:00", 1, 3);
    frmMDIChild* w = openSet(1);
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    EXPECT_EQ(w->txtPonit->text(), "33.3");
    shell::mainModule().database->Execute(
        "UPDATE データ SET 正解回数 = 3, 出題回数 = 4 WHERE ID = 2");
    shell::mainModule().dataBaseList[2].changed = true;
    records::RefreshRecordWindows();
    EXPECT_EQ(w->txtData[0]->Text(), "two");
    EXPECT_EQ(w->txtPonit->text(), "75.0");
}

TEST_F(RecordWindowTest, TheRateBoxShowsTheColourOfItsSideOfTheThreshold) {
    addSet(1, "a");
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 60, 正解率以上背景色 = 255, "
        "正解率未満背景色 = 65280 WHERE dbID = 1");
    addRecord(1, 1, "one", "2020/01/01", "10:00:00", 1, 2);
    addRecord(2, 1, "two", "2020/01/02", "10:00:00", 3, 4);
    frmMDIChild* w = openSet(1);
    EXPECT_EQ(w->txtPonit->text(), "50.0");
    EXPECT_EQ(testing_support::backgroundOf(w->txtPonit), ui::qColorFromBgr(65280));
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    EXPECT_EQ(w->txtPonit->text(), "75.0");
    EXPECT_EQ(testing_support::backgroundOf(w->txtPonit), ui::qColorFromBgr(255));
}

TEST_F(RecordWindowTest, LayoutHidesPartsByTheUseFlags) {
    addSet(1, "a");
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 項目３使用 = False, コメント使用 = False, 出展使用 = False "
        "WHERE dbID = 1");
    frmMDIChild* w = openSet(1);
    w->Form_Resize();
    EXPECT_FALSE(w->txtData[2]->isVisible());
    EXPECT_FALSE(w->txtData[3]->isVisible());
    EXPECT_FALSE(w->txtData[4]->isVisible());
    EXPECT_TRUE(w->txtData[1]->isVisible());
    EXPECT_EQ(w->txtData[0]->height(), w->txtData[1]->height());
    EXPECT_GT(w->txtData[0]->height(), 150);
}

}  // namespace

#include <QClipboard>
#include <QMenu>

#include "platform/ui/Color.h"
#include "shell/FeatureHooks.h"

namespace {

TEST_F(RecordWindowTest, FontDialogPresetsUniformAttributesOnlyAndCancelChangesNothing) {
    addSet(1, "a");
    addRecord(1, 1, "abcd");
    frmMDIChild* w = openSet(1);
    auto* box = w->txtData[0];
    box->setFocus();
    box->setSelStart(0);
    box->setSelLength(2);
    box->setSelBold(true);
    box->setSelLength(4);  // mixed bold, uniform italic (off)
    boxes->queueCancel();
    w->mnuFont_Click();
    ASSERT_EQ(boxes->shown().size(), 1u);
    const ui::FontPreset& preset = boxes->shown()[0].font;
    EXPECT_FALSE(preset.bold.has_value());
    EXPECT_EQ(preset.italic, std::optional<bool>(false));
    EXPECT_EQ(box->SelBold(), std::nullopt);  // cancel: still mixed

    ui::FontChoice choice;
    choice.name = "ＭＳ Ｐゴシック";
    choice.size = 14;
    choice.bold = true;
    choice.underline = true;
    choice.color = 0x0000FF;  // red
    boxes->queueFont(choice);
    w->mnuFont_Click();
    EXPECT_EQ(box->SelBold(), std::optional<bool>(true));
    EXPECT_EQ(box->SelUnderline(), std::optional<bool>(true));
    EXPECT_EQ(box->SelFontSize(), std::optional<double>(14));
    ASSERT_TRUE(box->SelColor().has_value());
    EXPECT_EQ(ui::bgrFromQColor(*box->SelColor()), 0x0000FFu);
    EXPECT_TRUE(w->recordChanged);
}

TEST_F(RecordWindowTest, CutCopyPasteActOnTheActiveControl) {
    addSet(1, "a");
    addRecord(1, 1, "hello world");
    frmMDIChild* w = openSet(1);
    auto* box = w->txtData[0];
    box->setFocus();
    box->setSelStart(0);
    box->setSelLength(5);
    w->mnuCopy_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    w->mnuCut_Click();
    EXPECT_EQ(box->Text(), " world");
    box->setSelStart(6);
    w->mnuPaste_Click();
    EXPECT_EQ(box->Text(), " worldhello");
}

// The edit and format menus as the user reaches them: the window's own menu items, found by
// name and triggered, so an item wired to the wrong handler fails here.
QAction* menuItem(frmMDIChild* w, const char* name) {
    for (QMenu* menu : w->menus())
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String(name)) return a;
    ADD_FAILURE() << "no menu item " << name;
    return nullptr;
}

TEST_F(RecordWindowTest, EditAndFormatMenuItemsDoTheirWork) {
    addSet(1, "a");
    addRecord(1, 1, "hello world", "2020/01/01");
    addRecord(2, 1, "two", "2020/01/02");
    frmMDIChild* w = openSet(1);
    auto* box = w->txtData[0];
    box->setFocus();
    box->setSelStart(0);
    box->setSelLength(5);
    menuItem(w, "mnuCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    menuItem(w, "mnuCut")->trigger();
    EXPECT_EQ(box->Text(), " world");
    box->setSelStart(6);
    menuItem(w, "mnuPaste")->trigger();
    EXPECT_EQ(box->Text(), " worldhello");
    box->setSelStart(0);
    box->setSelLength(0);
    menuItem(w, "mnuDelete")->trigger();  // the character at the cursor
    EXPECT_EQ(box->Text(), "worldhello");

    boxes->queueCancel();
    menuItem(w, "mnuFont")->trigger();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].kind, ui::DialogKind::Font);

    boxes->queue("OK");
    menuItem(w, "mnuDeleteRecord")->trigger();
    EXPECT_EQ(boxes->shown().back().text, "このデータ１件を削除します。よろしいですか？");
    EXPECT_EQ(recordCount(1), 1);
    EXPECT_EQ(box->Text(), "two");
    const size_t asked = boxes->shown().size();
    menuItem(w, "mnuNewRecord")->trigger();
    EXPECT_EQ(box->Text(), "");
    EXPECT_TRUE(shell::mainModule().childSettings[w->slot()].newRecord);
    EXPECT_EQ(boxes->shown().size(), asked);  // nothing to confirm, nothing deleted
    EXPECT_EQ(recordCount(1), 1);
}

TEST_F(RecordWindowTest, DeletingTheSetFromItsWindowAsksFirst) {
    addSet(1, "消す");
    openSet(1);
    std::int32_t deleted = -1;
    shell::featureHooks().deleteDataBase = [&](std::int32_t dbID) { deleted = dbID; };
    frmMDIChild* w = records::windowOfSlot(0);
    QAction* item = w->dataBaseMenus->mnuDelDataBase.at(0);
    boxes->queue("キャンセル");
    item->trigger();
    EXPECT_EQ(boxes->shown().back().text, "データベース \"消す\" を削除します。\nよろしいですか。");
    EXPECT_EQ(boxes->shown().back().title, "データベース削除");
    EXPECT_EQ(deleted, -1);
    boxes->queue("OK");
    item->trigger();
    EXPECT_EQ(deleted, 1);
    shell::resetFeatureHooks();
}

TEST_F(RecordWindowTest, RefreshOfASetThatBecameEmptyShowsTheNewRecordState) {
    addSet(1, "a");
    addRecord(1, 1, "only");
    frmMDIChild* w = openSet(1);
    shell::mainModule().database->Execute("DELETE FROM データ WHERE dbID = 1");
    shell::mainModule().dataBaseList[2].changed = true;
    records::RefreshRecordWindows();
    EXPECT_EQ(w->txtData[0]->Text(), "");
    EXPECT_TRUE(shell::mainModule().childSettings[w->slot()].newRecord);
}

}  // namespace

namespace {

TEST_F(RecordWindowTest, ReopeningAtOnceGetsAFreshWindowThatStays) {
    addSet(1, "a");
    frmMDIChild* first = openSet(1);
    qobject_cast<QMdiSubWindow*>(first->parentWidget())->close();  // deleted later
    frmMDIChild* second = openSet(1);
    ASSERT_NE(second, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(records::windowOfSlot(0), second);
    EXPECT_EQ(second->txtPonit->text(), "0.0");
}

}  // namespace

namespace {

struct StoredPlace {
    long x, y, width, height, state;
};

StoredPlace storedPlace(int dbID) {
    auto rs = shell::mainModule().database->OpenRecordset(
        QStringLiteral("select * from データベース設定 where dbID = %1").arg(dbID));
    return {rs->value("画面X").toLong(), rs->value("画面Y").toLong(), rs->value("画面幅").toLong(),
            rs->value("画面縦").toLong(), rs->value("WindowState").toLong()};
}

QMdiSubWindow* subOf(frmMDIChild* w) {
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

TEST_F(RecordWindowTest, ExitNotesEveryWindowsStateBeforeClosingAny) {
    addSet(1, "front, maximised");
    addSet(3, "behind, normal");
    QApplication::setActiveWindow(main.get());  // as on a desktop, where it has the focus
    frmMDIChild* front = openSet(1);            // the first slot: written and closed first
    frmMDIChild* behind = openSet(3);
    subOf(behind)->setGeometry(30, 45, 600, 500);
    area->setActiveSubWindow(subOf(front));
    subOf(front)->showMaximized();
    QApplication::processEvents();
    ASSERT_FALSE(subOf(behind)->isMaximized());

    shell::mainModule().closing = true;
    records::CloseRecordWindowsForExit();
    EXPECT_EQ(storedPlace(1).state, 2);
    const StoredPlace normal = storedPlace(3);
    EXPECT_EQ(normal.state, 0);
    EXPECT_EQ(normal.x, 450);
    EXPECT_EQ(normal.y, 675);
    EXPECT_EQ(normal.width, 9000);
}

TEST_F(RecordWindowTest, MaximisedOrMinimisedWindowsKeepTheirNormalPlace) {
    addSet(1, "a");
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 画面X = 1500, 画面Y = 750, 画面幅 = 9000, 画面縦 = 9000, "
        "WindowState = 2 WHERE dbID = 1");
    frmMDIChild* w = openSet(1);
    QMdiSubWindow* sub = subOf(w);
    ASSERT_TRUE(sub->isMaximized());
    sub->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(sub->geometry(), QRect(100, 50, 600, 600));  // the stored place, not a default

    // Moved by the user, then minimised: the moved place is what is written.
    sub->setGeometry(40, 60, 620, 560);
    sub->showMinimized();
    QApplication::processEvents();
    sub->close();
    QApplication::processEvents();
    const StoredPlace p = storedPlace(1);
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(p.x, 600);
    EXPECT_EQ(p.y, 900);
    EXPECT_EQ(p.width, 9300);
    EXPECT_EQ(p.height, 8400);
}

}  // namespace

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QListView>
#include <QTimer>

#include "platform/ui/QtDialogs.h"

namespace {

// The real font dialog, answered by pressing its OK button once it is up.
struct RealFontDialog {
    RealFontDialog() { previous = ui::setDialogService(std::make_unique<ui::QtDialogs>()); }
    ~RealFontDialog() { ui::setDialogService(std::move(previous)); }

    // Runs `open` and, while the dialog is up, reads what it shows and presses OK.
    void openAndPressOK(const std::function<void()>& open) {
        QTimer::singleShot(0, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (auto* fonts = dialog->findChild<QFontDialog*>()) shown = fonts->currentFont();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        open();
    }

    std::unique_ptr<ui::DialogService> previous;
    QFont shown;
};

TEST_F(RecordWindowTest, TheRealFontDialogShowsTheFaceAndOKWithoutAChangeKeepsTheRtf) {
    addSet(1, "a");
    frmMDIChild* w = openSet(1);
    typeInto(w->txtData[0], "plain text");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);  // stored as the program stores it
    const QString stored = field(1, "項目1RTF");
    ASSERT_TRUE(stored.startsWith("{\\rtf1"));

    auto* box = w->txtData[0];
    box->setFocus();
    box->setSelStart(0);
    box->setSelLength(5);
    RealFontDialog dialog;
    dialog.openAndPressOK([w] { w->mnuFont_Click(); });
    // The face that draws the text, at its size, upright and regular.
    EXPECT_EQ(dialog.shown.family(), QFontInfo(QFont("ＭＳ Ｐゴシック")).family());
    EXPECT_EQ(dialog.shown.pointSize(), 10);
    EXPECT_FALSE(dialog.shown.bold());
    EXPECT_FALSE(dialog.shown.italic());
    EXPECT_EQ(box->TextRTF(), stored);
    EXPECT_EQ(box->SelFontName(), std::optional<QString>("ＭＳ Ｐゴシック"));
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    EXPECT_EQ(field(1, "項目1RTF"), stored);
}

// The substitute faces have no bold or italic style of their own: the dialog still shows
// and keeps them.
TEST_F(RecordWindowTest, TheRealFontDialogKeepsBoldAndItalicOfAFaceWithoutSuchStyles) {
    addSet(1, "a");
    addRecord(1, 1, "abcd");
    frmMDIChild* w = openSet(1);
    auto* box = w->txtData[0];
    box->setFocus();
    box->setSelStart(0);
    box->setSelLength(4);
    box->setSelBold(true);
    box->setSelItalic(true);
    const QString before = box->TextRTF();
    RealFontDialog dialog;
    dialog.openAndPressOK([w] { w->mnuFont_Click(); });
    EXPECT_EQ(box->TextRTF(), before);
    EXPECT_EQ(box->SelBold(), std::optional<bool>(true));
    EXPECT_EQ(box->SelItalic(), std::optional<bool>(true));
}

}  // namespace

#include <QMimeData>

namespace {

// The Edit menu's keys run the menu's commands, not the rich box's own handling.
TEST_F(RecordWindowTest, EditKeysRunTheEditMenuCommands) {
    addSet(1, "a");
    addRecord(1, 1, "abc def");
    frmMDIChild* w = openSet(1);
    QApplication::setActiveWindow(main.get());
    auto* box = w->txtData[0];
    box->setFocus();

    auto* rich = new QMimeData;
    rich->setText("pasted");
    rich->setData("text/rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b\\fs40 pasted\\par}");
    QApplication::clipboard()->setMimeData(rich);
    box->setSelStart(3);
    box->setSelLength(0);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "abcpasted def");
    box->setSelStart(3);
    box->setSelLength(6);
    EXPECT_EQ(box->SelBold(), std::optional<bool>(false));  // the caret's format
    EXPECT_EQ(box->SelFontSize(), std::optional<double>(10));

    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "pasted");
    EXPECT_FALSE(
        QApplication::clipboard()->mimeData()->hasFormat("text/rtf"));  // plain, as the menu copies
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "abc def");
    box->setSelStart(0);
    box->setSelLength(0);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->Text(), "bc def");
}

}  // namespace

namespace {

// Pixels of the icon's yellow dot in the left end of a window's title bar.
int yellowPixelsInTitleBarIcon(QMdiSubWindow* window) {
    const QImage shot = window->grab().toImage();
    const int titleHeight =
        window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    int count = 0;
    for (int y = 0; y < titleHeight && y < shot.height(); ++y)
        for (int x = 0; x < 2 * titleHeight && x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 150 && c.blue() < 110) ++count;
        }
    return count;
}

TEST_F(RecordWindowTest, TitleBarShowsTheProgramsIcon) {
    addSet(1, "英単語");
    auto* window = qobject_cast<QMdiSubWindow*>(openSet(1)->parentWidget());
    ASSERT_TRUE(window);
    // Qt's logo stands in until the program gives its windows an icon.
    EXPECT_EQ(yellowPixelsInTitleBarIcon(window), 0);
    QApplication::setWindowIcon(shell::applicationIcon());  // as main() does
    window->update();
    const int yellow = yellowPixelsInTitleBarIcon(window);
    QApplication::setWindowIcon(QIcon());
    EXPECT_GT(yellow, 0);
}

}  // namespace

namespace {

TEST_F(RecordWindowTest, ANewSetsRateBoxShowsTheSetsFace) {
    addSet(1, "empty");
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 0, 正解率以上サイズ = 14, "
        "正解率以上太字 = True, 正解率以上背景色 = 255 WHERE dbID = 1");
    frmMDIChild* w = openSet(1);
    EXPECT_EQ(w->txtPonit->text(), "0.0");
    EXPECT_EQ(w->txtPonit->font().pointSize(), 14);
    EXPECT_TRUE(w->txtPonit->font().bold());
    EXPECT_EQ(testing_support::backgroundOf(w->txtPonit), ui::qColorFromBgr(255));
}

}  // namespace

namespace {

// Each window keeps its own edited flag: typing into one marks only that one, and saving
// every window before a search or a drill writes only the edited record.
TEST_F(RecordWindowTest, EachWindowKeepsItsOwnEditedFlag) {
    addSet(1, "a");
    addSet(2, "b");
    addRecord(1, 1, "apple");
    addRecord(2, 2, "banana");
    frmMDIChild* first = openSet(1);
    frmMDIChild* second = openSet(2);
    ASSERT_NE(first->slot(), second->slot());
    second->txtData[1]->setFocus();
    typeInto(second->txtData[1], "yellow");
    EXPECT_TRUE(second->recordChanged);
    EXPECT_FALSE(first->recordChanged);
    records::SaveAllRecordWindows();
    EXPECT_EQ(field(2, "項目2"), "yellow");
    EXPECT_EQ(field(1, "項目2"), "");
    EXPECT_FALSE(second->recordChanged);
}

}  // namespace
