// The import and export dialogs driven as a user drives them: the File menu items, the
// open and save dialogs, the preview, typing a new set's name, the buttons, and the record
// window that shows the result.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "drill/TestStatement.h"
#include "exchange/Exchange.h"
#include "exchange/frmExport.h"
#include "exchange/frmImport.h"
#include "platform/richtext/RichTextBox.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "search/SearchStatement.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace {

class ExchangeDialogs : public RecordWindowTest {
protected:
    void SetUp() override {
        RecordWindowTest::SetUp();
        shell::featureHooks().importRecords = [](std::int32_t id) {
            exchange::ShowImportDialog(id);
        };
        shell::featureHooks().exportRecords = [](std::int32_t id) {
            exchange::ShowExportDialog(id);
        };
        mdi = std::make_unique<shell::frmMDI>();
    }
    void TearDown() override {
        shell::resetFeatureHooks();
        mdi.reset();
        RecordWindowTest::TearDown();
    }

    // Runs `drive` on the dialog named `name` once it is up, while `open` shows it modally.
    template <typename Dialog>
    void whileShown(const char* name, const std::function<void(Dialog*)>& drive,
                    const std::function<void()>& open) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != QLatin1String(name) || !w->isVisible()) continue;
                driven = true;
                drive(static_cast<Dialog*>(w));
                return;
            }
        });
        open();
        EXPECT_TRUE(driven) << name << " was not shown";
    }

    static QString dataFile(const QString& file) {
        return QStringLiteral(KENVORA_SOURCE_DIR "/tests/exchange/data/") + file;
    }
    QAction* fileItem(const QList<QMenu*>& menus, const QString& name) {
        for (QAction* a : menus.front()->actions())
            if (a->objectName() == name) return a;
        return nullptr;
    }

    std::unique_ptr<shell::frmMDI> mdi;
    QTemporaryDir dir;
};

TEST_F(ExchangeDialogs, BothFileMenusEndWithImportAndExport) {
    addSet(1, "set");
    const QList<QAction*> main = mdi->mnuFile->actions();
    ASSERT_GE(main.size(), 3);
    EXPECT_EQ(main[main.size() - 2]->text(), QStringLiteral("インポート(&I)..."));
    EXPECT_EQ(main.back()->text(), QStringLiteral("エクスポート(&E)..."));
    EXPECT_EQ(main[main.size() - 4]->text(), QStringLiteral("終了(&X)"));

    frmMDIChild* w = openSet(1);
    const QList<QAction*> child = w->menus().front()->actions();
    EXPECT_EQ(child[child.size() - 2]->text(), QStringLiteral("インポート(&I)..."));
    EXPECT_EQ(child.back()->text(), QStringLiteral("エクスポート(&E)..."));
    EXPECT_EQ(child[child.size() - 4]->text(), QStringLiteral("終了(&X)"));
}

TEST_F(ExchangeDialogs, AThousandRowShiftJisFileFromCalcFillsANewSetThroughTheDialog) {
    addSet(1, "既存");
    boxes->queue(dataFile("calc_1000_sjis.csv"));
    whileShown<frmImport>(
        "frmImport",
        [this](frmImport* d) {
            EXPECT_EQ(d->cmbEncoding->currentText(), QStringLiteral("Shift_JIS (cp932)"));
            EXPECT_EQ(d->cmbFormat->currentIndex(), 0);
            EXPECT_TRUE(d->chkHeader->isChecked());
            EXPECT_EQ(d->grdPreview->horizontalHeaderItem(1)->text(), QStringLiteral("読み"));
            EXPECT_EQ(d->grdPreview->item(1, 0)->text(), QStringLiteral("語0001"));
            EXPECT_EQ(d->grdPreview->item(1, 2)->text(), QStringLiteral("meaning 1, 意味1"));
            auto* reading = d->findChild<QComboBox*>("cmbColumn(1)");
            ASSERT_NE(reading, nullptr);
            EXPECT_EQ(reading->currentText(), QStringLiteral("項目３"));
            // The reading goes to item 2 and the meaning to item 3 instead.
            reading->setCurrentIndex(reading->findText(QStringLiteral("項目２")));
            auto* meaning = d->findChild<QComboBox*>("cmbColumn(2)");
            meaning->setCurrentIndex(meaning->findText(QStringLiteral("項目３")));
            QTest::mouseClick(d->optNew, Qt::LeftButton);
            d->txtNewName->selectAll();
            QTest::keyClicks(d->txtNewName, "words1000");
            QTest::mouseClick(d->cmdOk, Qt::LeftButton);
        },
        [this] { mdi->mnuImport->trigger(); });

    ASSERT_EQ(shell::mainModule().dataBaseList.size(), 4u);
    const auto& added = shell::mainModule().dataBaseList.back();
    EXPECT_EQ(added.name, "words1000");
    EXPECT_EQ(recordCount(added.dbID), 1000);
    EXPECT_EQ(boxes->shownTexts().back(), QStringLiteral("1000 件のデータを取り込みました。"));

    // The new set's window is open on its first record; the last is the file's last row.
    frmMDIChild* w = nullptr;
    for (int slot = 0; slot < static_cast<int>(shell::mainModule().childSettings.size()); ++slot)
        if (shell::mainModule().childSettings[slot].dbID == added.dbID)
            w = records::windowOfSlot(slot);
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();
    w->Form_Activate();
    EXPECT_EQ(w->txtData[0]->Text(), QStringLiteral("語0001"));
    EXPECT_EQ(w->txtData[1]->Text(), QStringLiteral("あああ"));
    EXPECT_EQ(w->txtData[2]->Text(), QStringLiteral("meaning 1, 意味1"));
    QTest::mouseClick(w->cmdEndRecord, Qt::LeftButton);
    EXPECT_EQ(w->txtData[0]->Text(), QStringLiteral("語1000"));
    auto row = shell::mainModule().database->OpenRecordset(
        QStringLiteral("select * from データベース設定 where dbID = %1").arg(added.dbID));
    EXPECT_EQ(row->value("項目1名称").displayText(), "単語");
    EXPECT_EQ(row->value("項目2名称").displayText(), "読み");

    // The search and the test find the imported records like typed ones.
    search::SearchConditions words;
    words.dbIDs = {added.dbID};
    words.wordCondition = true;
    words.wordText = QStringLiteral("意味500");
    const auto hits =
        shell::mainModule().database->OpenRecordset(search::buildSearchStatement(words));
    ASSERT_EQ(hits->RecordCount(), 1);
    EXPECT_EQ(hits->value("項目1").displayText(), QStringLiteral("語0500"));
    drill::TestConditions test;
    test.dbIDs = {added.dbID};
    EXPECT_EQ(
        shell::mainModule().database->OpenRecordset(drill::buildTestStatement(test))->RecordCount(),
        1000);
}

TEST_F(ExchangeDialogs, ANoteFileWithHtmlShowsItsColourInTheRecordWindow) {
    addSet(1, "deck");
    QFile note(dir.filePath("deck.txt"));
    note.open(QIODevice::WriteOnly);
    note.write(
        "#separator:tab\n#html:true\n<span style=\"color:#ff0000\">赤い字</span><br>二行目\tred\n");
    note.close();
    frmMDIChild* w = openSet(1);
    boxes->queue(note.fileName());
    whileShown<frmImport>(
        "frmImport",
        [](frmImport* d) {
            EXPECT_EQ(d->cmbFormat->currentIndex(), 2);
            EXPECT_TRUE(d->chkHtml->isChecked());
            EXPECT_TRUE(d->optExisting->isChecked());
            EXPECT_EQ(d->cmbDataBase->currentText(), "deck");
            QTest::mouseClick(d->cmdOk, Qt::LeftButton);
        },
        [w] {
            for (QAction* a : w->menus().front()->actions())
                if (a->objectName() == "mnuImport") a->trigger();
        });
    ASSERT_EQ(recordCount(1), 1);
    // The open window re-read its records and shows the red text.
    EXPECT_EQ(w->txtData[0]->Text(), QStringLiteral("赤い字\n二行目"));
    w->txtData[0]->setSelStart(0);
    const QImage image = w->txtData[0]->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
        }
    EXPECT_GT(red, 10);
}

TEST_F(ExchangeDialogs, CancelInTheProgressDialogStoresNothing) {
    addSet(1, "set");
    QFile list(dir.filePath("long.csv"));
    list.open(QIODevice::WriteOnly);
    for (int i = 0; i < 20000; ++i) list.write("word" + QByteArray::number(i) + ",sense\n");
    list.close();
    boxes->queue(list.fileName());
    bool cancelled = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != QLatin1String("prgImport") || !w->isVisible() || cancelled)
                continue;
            cancelled = true;
            QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
        }
    });
    whileShown<frmImport>(
        "frmImport",
        [&poll](frmImport* d) {
            d->progressDelay = 0;
            poll.start();
            QTest::mouseClick(d->cmdOk, Qt::LeftButton);
            poll.stop();
            d->reject();
        },
        [this] { mdi->mnuImport->trigger(); });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(boxes->shownTexts().back(),
              QStringLiteral("インポートを中止しました。データは取り込んでいません。"));
    EXPECT_EQ(recordCount(1), 0);
}

TEST_F(ExchangeDialogs, ANewSetNameIsCheckedBeforeAnythingIsStored) {
    addSet(1, "既存");
    boxes->queue(dataFile("calc_utf8.csv"));
    whileShown<frmImport>(
        "frmImport",
        [](frmImport* d) {
            QTest::mouseClick(d->optNew, Qt::LeftButton);
            d->txtNewName->selectAll();
            QTest::keyClick(d->txtNewName, Qt::Key_Backspace);
            QTest::mouseClick(d->cmdOk, Qt::LeftButton);
            EXPECT_TRUE(d->isVisible());  // the dialog stays for another name
            d->reject();
        },
        [this] { mdi->mnuImport->trigger(); });
    EXPECT_EQ(boxes->shownTexts().back(), QStringLiteral("データが入っていません。"));
    EXPECT_EQ(boxes->shown().back().title, QStringLiteral("データベース"));
    EXPECT_EQ(shell::mainModule().dataBaseList.size(), 3u);
}

TEST_F(ExchangeDialogs, AFileThatIsNotTextIsRefusedBeforeTheDialog) {
    QFile binary(dir.filePath("photo.csv"));
    binary.open(QIODevice::WriteOnly);
    binary.write(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0\0\0\0", 14));
    binary.close();
    boxes->queue(binary.fileName());
    mdi->mnuImport->trigger();
    EXPECT_EQ(boxes->shownTexts().back(), QStringLiteral("テキストファイルではありません。"));
    EXPECT_EQ(boxes->shown().back().title, QStringLiteral("インポート"));
}

TEST_F(ExchangeDialogs, ExportFromTheRecordWindowWritesItsSet) {
    addSet(1, "英単語");
    addSet(2, "other");
    addRecord(1, 1, "apple");
    addRecord(2, 2, "not this");
    frmMDIChild* w = openSet(1);
    const QString path = dir.filePath("words.tsv");
    boxes->queue(path);
    whileShown<frmExport>(
        "frmExport",
        [](frmExport* d) {
            EXPECT_EQ(d->cmbDataBase->currentText(), QStringLiteral("英単語"));
            d->cmbFormat->setFocus();
            QTest::keyClick(d->cmbFormat, Qt::Key_Down);
            QTest::keyClick(d->cmbFormat, Qt::Key_Down);
            EXPECT_EQ(d->cmbFormat->currentIndex(), 2);
            QTest::mouseClick(d->chkDates, Qt::LeftButton);
            QTest::mouseClick(d->cmdOk, Qt::LeftButton);
        },
        [w] {
            for (QAction* a : w->menus().front()->actions())
                if (a->objectName() == "mnuExport") a->trigger();
        });
    const ui::ShownDialog& save = boxes->shown().at(boxes->shown().size() - 2);
    EXPECT_TRUE(save.openFile.save);
    EXPECT_EQ(save.openFile.fileName, QStringLiteral("英単語.tsv"));
    EXPECT_EQ(boxes->shownTexts().back(), QStringLiteral("1 件のデータを書き出しました。"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("項目１\t項目２\t項目３\tコメント\t出展\t登録日\t登録時刻\n"
                             "apple\t\t\t\t\t2024/01/01\t10:00:00\n"));
}

}  // namespace
