#include "records/frmDrop.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include "platform/dao/DaoError.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindows.h"
#include "records/RecordsState.h"
#include "records/frmMDIChild.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace {

constexpr int kBoxWidth = 1575;
constexpr int kBoxHeight = 660;
constexpr int kBoxPitch = 1625;

void setBack(QPlainTextEdit* box, std::uint32_t bgr) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, ui::qColorFromBgr(bgr));
    box->setPalette(p);
}

}  // namespace

DropBox::DropBox(int i, QWidget* parent) : QPlainTextEdit(parent), index(i) {
    setObjectName(QStringLiteral("txtDrop(%1)").arg(i));
    setReadOnly(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::NoWrap);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Three lines in a 660-twip box: the substitute face runs taller than the one the box
    // was made for, so the margin inside the frame is kept small.
    document()->setDocumentMargin(1);
}

// Text only: an image or a file offers nothing to put into a record.
void DropBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void DropBox::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void DropBox::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QString text = event->mimeData()->text();
    // Handled after the drag has finished, so that message boxes do not open inside it.
    QTimer::singleShot(0, this, [this, text] { emit dropped(index, text); });
}

void DropBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) emit rightClicked(index);
}

void DropBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(index);
}

frmDrop::frmDrop() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmDrop"));
    setWindowTitle(QStringLiteral("Kenvora"));
    setAttribute(Qt::WA_DeleteOnClose);
    for (int i = 0; i < 10; ++i) {
        txtDrop[i] = new DropBox(i, this);
        txtDrop[i]->setToolTip(QStringLiteral("ここへデータをドロップしてください。"));
        txtDrop[i]->hide();
        connect(txtDrop[i], &DropBox::dropped, this, &frmDrop::txtDrop_Drop);
        connect(txtDrop[i], &DropBox::rightClicked, this, &frmDrop::txtDrop_RightClick);
        connect(txtDrop[i], &DropBox::doubleClicked, this, &frmDrop::txtDrop_DblClick);
    }
    mnuPopup = new QMenu(QStringLiteral("区切り"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuSplitChar1 = mnuPopup->addMenu(QStringLiteral("区切り文字１"));
    mnuSplitChar1->setObjectName(QStringLiteral("mnuSplitChar1"));
    mnuSplitChar2 = mnuPopup->addMenu(QStringLiteral("区切り文字２"));
    mnuSplitChar2->setObjectName(QStringLiteral("mnuSplitChar2"));
}

QString frmDrop::fitToOneLine(const QString& text) const {
    // The width a narrow box gives a line of text, in its own font.
    const QFontMetrics metrics(txtDrop[0]->font());
    const int room = ui::px(kBoxWidth) - 2 * txtDrop[0]->frameWidth() -
                     2 * static_cast<int>(txtDrop[0]->document()->documentMargin());
    QString fitted = text;
    while (!fitted.isEmpty() && metrics.horizontalAdvance(fitted) > room) fitted.chop(1);
    return fitted;
}

void frmDrop::showEntry(int j) {
    const DropEntry& e = entries[j];
    const bool wide = ui::twips(txtDrop[j]->width()) > kBoxWidth;
    const QStringList lines =
        wide ? QStringList{e.fullName, e.fullDelimiter1, e.fullDelimiter2}
             : QStringList{e.fittedName, e.fittedDelimiter1, e.fittedDelimiter2};
    txtDrop[j]->setPlainText(lines.join(QLatin1Char('\n')));
}

void frmDrop::prepare() {
    const shell::MainModule& m = shell::mainModule();
    for (DropBox* box : txtDrop) box->hide();
    int n = 0;
    const int boxed = std::min<int>(static_cast<int>(m.childSettings.size()), 10);
    for (int j = 0; j < boxed; ++j) {
        frmMDIChild* w = records::windowOfSlot(j);
        if (m.childSettings[j].slotFree || !w) continue;
        ++n;
        ui::place(txtDrop[j], (n - 1) * kBoxPitch, 30, kBoxWidth, kBoxHeight);
        DropEntry& e = entries[j];
        e.fullName = m.childSettings[j].name;
        e.fullDelimiter1 = w->cmbSplit[0]->currentText();
        e.fullDelimiter2 = w->cmbSplit[1]->currentText();
        e.fittedName = fitToOneLine(e.fullName);
        e.fittedDelimiter1 = fitToOneLine(e.fullDelimiter1);
        e.fittedDelimiter2 = fitToOneLine(e.fullDelimiter2);
        showEntry(j);
        // A reader names the box by its set, whatever part of the name the box has room for.
        txtDrop[j]->setAccessibleName(e.fullName);
        setBack(txtDrop[j], 0x00FFFFFF);
        txtDrop[j]->show();
    }
    resize(ui::px(std::max(m.openWindowCount, 1) * kBoxPitch + 50), ui::px(1095));
}

void frmDrop::txtDrop_Drop(int j, const QString& text) {
    frmMDIChild* w = records::windowOfSlot(j);
    if (!w) return;
    setBack(txtDrop[j], 0x000000FF);
    QApplication::processEvents();
    records::runReportingErrors([j, w, &text] {
        records::SaveCurrentRecord(j);
        records::NewRecord(j);
        // Setting item 1 runs the splitting chain: items 1, 2 and 3 at the current delimiters.
        w->txtData[0]->setText(text);
        records::SaveCurrentRecord(j);
        w->recordChanged = false;
    });
    setBack(txtDrop[j], 0x00FFFFFF);
}

void frmDrop::txtDrop_RightClick(int j) {
    frmMDIChild* w = records::windowOfSlot(j);
    if (!w) return;
    txtDrop[j]->setEnabled(false);
    mnuSplitChar1->clear();
    mnuSplitChar2->clear();
    const std::array<QMenu*, 2> menus = {mnuSplitChar1, mnuSplitChar2};
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; i < w->cmbSplit[k]->count(); ++i) {
            const QString caption = w->cmbSplit[k]->itemText(i);
            QAction* item = menus[k]->addAction(caption);
            item->setObjectName(QStringLiteral("mnuSplit%1(%2)").arg(k + 1).arg(i));
            connect(item, &QAction::triggered, this,
                    [this, k, i, caption] { mnuSplit_Click(k, i, caption); });
        }
    }
    popupBox_ = j;
    mnuPopup->setProperty("Tag", j);
    mnuPopup->popup(txtDrop[j]->mapToGlobal(QPoint(0, txtDrop[j]->height())));
    txtDrop[j]->setEnabled(true);
}

void frmDrop::mnuSplit_Click(int list, int item, const QString& caption) {
    const int j = popupBox_;
    if (j < 0 || j >= 10) return;
    DropEntry& e = entries[j];
    (list == 0 ? e.fullDelimiter1 : e.fullDelimiter2) = caption;
    (list == 0 ? e.fittedDelimiter1 : e.fittedDelimiter2) = fitToOneLine(caption);
    showEntry(j);
    if (item != 0) records::MoveDelimiterToTop(j, list, item);
}

void frmDrop::txtDrop_DblClick(int j) {
    DropBox* box = txtDrop[j];
    const int boxWidth = ui::twips(box->width());
    int extra;
    if (boxWidth <= kBoxWidth) {
        // The widest of the three texts sets the width, in 20-twip steps as it was measured.
        const QFontMetrics metrics(box->font());
        const int frame = ui::twips(2 * box->frameWidth() +
                                    2 * static_cast<int>(box->document()->documentMargin()));
        int needed = kBoxWidth;
        for (const QString& text :
             {entries[j].fullName, entries[j].fullDelimiter1, entries[j].fullDelimiter2})
            while (ui::twips(metrics.horizontalAdvance(text)) + frame > needed) needed += 20;
        extra = needed - kBoxWidth;
        ui::place(box, ui::twips(box->x()), 30, needed, kBoxHeight);
    } else {
        extra = -(boxWidth - kBoxWidth);
        ui::place(box, ui::twips(box->x()), 30, kBoxWidth, kBoxHeight);
    }
    resize(width() + ui::px(extra), height());
    for (int k = j + 1; k < 10; ++k)
        txtDrop[k]->move(txtDrop[k]->x() + ui::px(extra), txtDrop[k]->y());
    showEntry(j);
}

void frmDrop::closeEvent(QCloseEvent* event) {
    lower();
    shell::mainModule().mdiRestore = true;
    QWidget::closeEvent(event);
}

namespace records {

frmDrop* dropWindow() {
    return recordsState().drop;
}

void MainWindowResized() {
    shell::MainModule& m = shell::mainModule();
    shell::frmMDI* main = m.mdiForm;
    if (!main || recordsState().dropResizing) return;
    recordsState().dropResizing = true;
    if (!m.dropMode) {
        if (main->isMinimized() && m.openWindowCount > 0) {
            auto* drop = new frmDrop;
            recordsState().drop = drop;
            drop->prepare();
            main->hide();
            drop->show();
            m.mdiRestore = false;
            m.dropMode = true;
            main->tmrMDI->start(100);
        }
    } else if (!main->isMinimized()) {
        if (recordsState().drop) {
            recordsState().drop->close();
        }
        m.mdiRestore = true;
        main->show();
        m.dropMode = false;
    }
    recordsState().dropResizing = false;
}

}  // namespace records
