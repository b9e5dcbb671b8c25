// The drop window: text dropped on a set's box becomes a record split at its delimiters.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/RecordsState.h"
#include "records/frmDrop.h"
#include "records/frmMDIChild.h"
#include "shell/MainModule.h"

namespace {

class DropWindowTest : public RecordWindowTest {
protected:
    std::unique_ptr<frmDrop> drop() {
        shell::mainModule().dropMode = true;
        auto d = std::make_unique<frmDrop>();
        d->setAttribute(Qt::WA_DeleteOnClose, false);
        d->prepare();
        return d;
    }
    void TearDown() override {
        shell::mainModule().dropMode = false;
        RecordWindowTest::TearDown();
    }
    // A real drop event on the box, as a drag from another program delivers it.
    bool dropOn(DropBox* box, QMimeData* data) {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &dropEvent);
        QApplication::processEvents();
        return true;
    }
};

TEST_F(DropWindowTest, DroppedTextIsSplitAndStoredAsANewRecord) {
    addSet(1, "英単語", "：", "、");
    addRecord(5, 1, "old");
    openSet(1);
    auto d = drop();
    ASSERT_TRUE(d->txtDrop[0]->isVisibleTo(d.get()));
    EXPECT_EQ(d->txtDrop[0]->toPlainText(), "英単語\n：\n、");
    EXPECT_EQ(d->width(), ui::px(1625 + 50));

    QMimeData text;
    text.setText("apple：りんご、林檎");
    ASSERT_TRUE(dropOn(d->txtDrop[0], &text));
    EXPECT_EQ(recordCount(1), 2);
    EXPECT_EQ(field(6, "項目1"), "apple");
    EXPECT_EQ(field(6, "項目2"), "りんご");
    EXPECT_EQ(field(6, "項目3"), "林檎");
    EXPECT_EQ(field(6, "出題回数"), "0");

    QMimeData noDelimiter;
    noDelimiter.setText("just a phrase");
    ASSERT_TRUE(dropOn(d->txtDrop[0], &noDelimiter));
    EXPECT_EQ(field(7, "項目1"), "just a phrase");
    EXPECT_TRUE(boxes->shown().empty());  // no "delimiter not found" in drop mode

    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(dropOn(d->txtDrop[0], &image));
    EXPECT_EQ(recordCount(1), 3);
}

TEST_F(DropWindowTest, ResetClosesTheDropWindowAndForgetsTheArea) {
    addSet(1, "英単語", "：", "、");
    openSet(1);
    auto* d = new frmDrop;
    d->prepare();
    d->show();
    records::recordsState().drop = d;
    records::recordsState().dropResizing = true;
    QPointer<frmDrop> watch = d;
    ASSERT_EQ(records::dropWindow(), d);
    ASSERT_EQ(records::recordWindowArea(), area);

    records::resetRecordsState();
    EXPECT_FALSE(watch);
    EXPECT_FALSE(records::dropWindow());
    EXPECT_FALSE(records::recordWindowArea());
    EXPECT_FALSE(records::recordsState().dropResizing);
}

TEST_F(DropWindowTest, DelimiterPopupAndDoubleClick) {
    addSet(1, "a set with a rather long name for one narrow box", "：,-", "、");
    addSet(2, "b");
    openSet(1);
    openSet(2);
    auto d = drop();
    EXPECT_EQ(d->width(), ui::px(2 * 1625 + 50));
    const int secondLeft = d->txtDrop[1]->x();

    d->txtDrop_RightClick(0);
    ASSERT_EQ(d->mnuSplitChar1->actions().size(), 2);
    d->mnuPopup->hide();
    d->mnuSplit_Click(0, 0, "：");  // the first item changes nothing in the list
    EXPECT_EQ(shell::mainModule().childSettings[0].settings.delimiters[0], "：,-");
    d->mnuSplit_Click(0, 1, "-");
    EXPECT_EQ(shell::mainModule().childSettings[0].settings.delimiters[0], "-,：");
    EXPECT_TRUE(d->txtDrop[0]->toPlainText().contains("\n-\n"));

    const int width = d->width();
    d->txtDrop_DblClick(0);
    EXPECT_GT(d->txtDrop[0]->width(), ui::px(1575));
    EXPECT_GT(d->txtDrop[1]->x(), secondLeft);
    EXPECT_TRUE(d->txtDrop[0]->toPlainText().startsWith(
        "a set with a rather long name for one narrow box"));
    d->txtDrop_DblClick(0);
    EXPECT_EQ(d->txtDrop[0]->width(), ui::px(1575));
    EXPECT_EQ(d->txtDrop[1]->x(), secondLeft);
    EXPECT_EQ(d->width(), width);
}

}  // namespace

namespace {

TEST_F(DropWindowTest, EachBoxShowsAllThreeLines) {
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));  // as the program runs
    addSet(1, "英単語", "：", "、");
    openSet(1);
    {
        auto d = drop();
        d->show();
        QPlainTextEdit* box = d->txtDrop[0];
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        EXPECT_EQ(box->document()->blockCount(), 3);
        EXPECT_LE(box->cursorRect(end).bottom(), box->viewport()->height());
    }
    QApplication::setFont(before);
}

}  // namespace

#include <QAction>
#include <QTest>

namespace {

// The delimiter menu and the double click as a user reaches them: a right click on the box,
// the menu item found by its name, a double click on the box.
TEST_F(DropWindowTest, TheDelimiterMenuAndTheDoubleClickAnswerTheUser) {
    addSet(1, "a set with a rather long name for one narrow box", "：,-", "、,・");
    openSet(1);
    auto d = drop();
    d->show();
    DropBox* box = d->findChild<DropBox*>(QStringLiteral("txtDrop(0)"));
    ASSERT_NE(box, nullptr);
    const auto pick = [&](const QString& item) {
        QTest::mouseClick(box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QAction* action = d->findChild<QAction*>(item);
        EXPECT_TRUE(d->mnuPopup->isVisible());
        d->mnuPopup->hide();
        ASSERT_NE(action, nullptr) << item.toStdString();
        action->trigger();
    };
    pick(QStringLiteral("mnuSplit1(1)"));
    EXPECT_EQ(shell::mainModule().childSettings[0].settings.delimiters[0], "-,：");
    EXPECT_TRUE(box->toPlainText().contains("\n-\n"));
    pick(QStringLiteral("mnuSplit2(1)"));
    EXPECT_EQ(shell::mainModule().childSettings[0].settings.delimiters[1], "・,、");
    EXPECT_TRUE(box->toPlainText().endsWith("\n・"));
    pick(QStringLiteral("mnuSplit1(0)"));  // the first item: shown, the list stays
    EXPECT_EQ(shell::mainModule().childSettings[0].settings.delimiters[0], "-,：");

    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_GT(box->width(), ui::px(1575));
    EXPECT_TRUE(box->toPlainText().startsWith("a set with a rather long name for one narrow box"));
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(box->width(), ui::px(1575));
}

}  // namespace
