#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/DialogService.h"

// The test double of the dialog service: answers come from a queue, every box shown is
// recorded. No test blocks on a real dialog.
//
//   ui::ScopedScriptedDialogs boxes;          // installed until the end of the scope
//   boxes->queue("キャンセル");                // next message box: Cancel
//   boxes->queue("新しい名前");                // next input box: typed text
//   boxes->queue("/tmp/x/Kenvora.mdb");       // next open-file dialog: that file
//   boxes->queueColor(0x0000FF);              // next colour dialog
//   ... run the handler ...
//   EXPECT_EQ(boxes->shown().at(0).text, "...");
namespace ui {

enum class DialogKind { Message, Input, OpenFile, Color, Font, Help, Url };

// One box as it was shown, with the answer given.
struct ShownDialog {
    DialogKind kind = DialogKind::Message;
    QString text;   // message text or input prompt
    QString title;  // title of a message, input box or open-file dialog
    Buttons buttons = Buttons::OKOnly;
    Icon icon = Icon::None;
    QStringList buttonCaptions;  // message boxes: "OK", "キャンセル", ...
    OpenFileRequest openFile;    // open-file dialogs
    ColorRequest color;          // colour dialogs
    FontPreset font;             // font dialogs
    HelpRequest help;            // help requests
    QString url;                 // web pages opened
    QString answer;  // caption of the button, the typed text, the chosen path; "キャンセル"
};

class ScriptedDialogs final : public DialogService {
public:
    // Message box: a button caption ("OK", "キャンセル", "はい", "いいえ", ...).
    // Input box: the typed text ("キャンセル" cancels). Open-file: the chosen path
    // ("キャンセル" cancels). Colour and font dialogs: "キャンセル" cancels.
    void queue(const QString& answer);
    void queueColor(std::uint32_t color);
    void queueFont(const FontChoice& font);
    void queueCancel() { queue(cancelCaption()); }

    // What was shown, oldest first.
    const std::vector<ShownDialog>& shown() const { return shown_; }
    QStringList shownTexts() const;
    void clearShown() { shown_.clear(); }
    // Answers queued but not used yet.
    std::size_t pending() const { return answers_.size(); }

    // Without a queued answer a message box takes its first button (OK, Yes, Abort) and
    // every other dialog is cancelled.
    Answer message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> chooseColor(const ColorRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontPreset& preset) override;
    void showHelp(const HelpRequest& request) override;
    void openUrl(const QString& url) override;

    static QString cancelCaption();

private:
    struct Scripted {
        enum Kind { Text, Color, Font } kind = Text;
        QString text;
        std::uint32_t color = 0;
        FontChoice font;
    };
    // False when nothing is queued.
    bool next(Scripted& answer);

    std::deque<Scripted> answers_;
    std::vector<ShownDialog> shown_;
};

// Installs a ScriptedDialogs for its lifetime and puts the previous service back.
class ScopedScriptedDialogs {
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
    ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;

    ScriptedDialogs* operator->() const { return dialogs_; }
    ScriptedDialogs& operator*() const { return *dialogs_; }

private:
    ScriptedDialogs* dialogs_;
    std::unique_ptr<DialogService> previous_;
};

}  // namespace ui
