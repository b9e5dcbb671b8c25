#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include <array>

class QMenu;

// One drop box: a set's name and current delimiters; text dropped on it becomes a record.
class DropBox final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit DropBox(int index, QWidget* parent);
    const int index;

signals:
    void dropped(int index, const QString& text);
    void rightClicked(int index);
    void doubleClicked(int index);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The strip that stands in for the minimised main window: one box per open set (the first
// ten slots), always on top.
class frmDrop final : public QWidget {
    Q_OBJECT

public:
    frmDrop();
    frmDrop(const frmDrop&) = delete;
    frmDrop& operator=(const frmDrop&) = delete;

    // What a box shows: the set name and the two current delimiters, in full and fitted to
    // one line of a narrow box.
    struct DropEntry {
        QString fullName, fittedName;
        QString fullDelimiter1, fittedDelimiter1;
        QString fullDelimiter2, fittedDelimiter2;
    };

    std::array<DropBox*, 10> txtDrop{};
    QMenu* mnuPopup;
    QMenu* mnuSplitChar1;
    QMenu* mnuSplitChar2;
    std::array<DropEntry, 10> entries;

    // Fills the boxes of the open slots and sizes the window (as the main window does when it
    // is minimised).
    void prepare();

    void txtDrop_Drop(int index, const QString& text);
    void txtDrop_RightClick(int index);
    void txtDrop_DblClick(int index);
    void mnuSplit_Click(int list, int item, const QString& caption);

    // The longest beginning of `text` that a narrow box shows on one line.
    QString fitToOneLine(const QString& text) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showEntry(int index);
    int popupBox_ = -1;
};

namespace records {
// The main window changed state: minimising it with record windows open swaps in the drop
// window; restoring it closes the drop window.
void MainWindowResized();
frmDrop* dropWindow();
}  // namespace records
