#pragma once

#include <QFrame>
#include <QString>

#include <functional>
#include <memory>

class QComboBox;

namespace dao {
class Recordset;
}

namespace options {

// One page of the options dialog. The dialog fills every page when it opens, applies a page
// by its "適用" (or OK), and enables a page's "適用" while the page is dirty.
class OptionPage : public QFrame {
    Q_OBJECT

public:
    using QFrame::QFrame;

    // Shows the stored settings, as at the dialog's start; the page is clean afterwards.
    virtual void fill() = 0;
    // Writes the page's settings. False when a check refused them (the message is shown and
    // the focus is on the control to mend); the page stays dirty then.
    virtual bool apply() = 0;
    // Re-reads what may have changed outside the dialog (folders on disk) as the page's tab
    // is chosen.
    virtual void refresh() {}

    bool isDirty() const { return dirty_; }
    bool loading() const { return loading_; }

signals:
    void dirtyChanged(bool dirty);

protected:
    void markDirty();
    void markClean();

    // The page's own writes to its controls are no user's change while this lives.
    class Loading {
    public:
        explicit Loading(OptionPage* page) : page_(page), was_(page->loading_) {
            page->loading_ = true;
        }
        ~Loading() { page_->loading_ = was_; }
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;

    private:
        OptionPage* page_;
        bool was_;
    };

private:
    bool dirty_ = false;
    bool loading_ = false;
};

// Runs one step of a handler; a failure shows its description and the handler goes on.
void runStep(const std::function<void()>& work);

// A control's tool tip, which is also its accessible description.
void setTip(QWidget* control, const char* text);

// "設定するデータベース名を選択してください。": what a set combo shows until a set is chosen.
QString choosePrompt();

// The dialog's own dynaset over データベース設定, which the rename and display pages move to
// the chosen set's row. Open from the end of the dialog's loading until it closes.
class SetRows {
public:
    SetRows();
    ~SetRows();
    SetRows(const SetRows&) = delete;
    SetRows& operator=(const SetRows&) = delete;

    void open();
    void close();
    dao::Recordset* get() const { return rows_.get(); }
    explicit operator bool() const { return rows_ != nullptr; }
    dao::Recordset* operator->() const { return rows_.get(); }

    // Moves to the row of the set `combo` names; false (after the message, with the focus on
    // the combo) when the name is not in the question-set list.
    bool findChosenSet(QComboBox* combo);

private:
    std::unique_ptr<dao::Recordset> rows_;
};

// True while `combo` still shows the prompt.
bool noSetChosen(const QComboBox* combo);
// Fills a set combo with the question-set list and puts the prompt in it.
void fillSetCombo(QComboBox* combo);

}  // namespace options
