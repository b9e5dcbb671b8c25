#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Every modal box the program shows goes through one service: message boxes, input boxes
// and the common dialogs (open file, colour, font) and help. The program installs the Qt
// service; tests install ScriptedDialogs, which answers from a queue and records each box.
namespace ui {

// Button sets, icons and answers of a message box (the Basic MsgBox values).
enum class Buttons {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum class Icon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class DefaultButton { First = 0, Second = 256, Third = 512 };
enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The caption a user reads on the answer's button: "OK", "キャンセル", "中止", "再試行",
// "無視", "はい", "いいえ". Scripted answers are written with these captions.
QString answerCaption(Answer answer);

// The answers a button set offers, in the order of its buttons.
std::vector<Answer> answersOf(Buttons buttons);

struct MessageRequest {
    QString text;   // lines separated by "\n"
    QString title;  // never empty: MsgBox puts the application title in its place
    Buttons buttons = Buttons::OKOnly;
    Icon icon = Icon::None;
    DefaultButton defaultButton = DefaultButton::First;
};

struct InputRequest {
    QString prompt;
    QString title;
    QString defaultText;
};

// The open-file dialog. `filter` is in the "description|pattern|description|pattern" form,
// e.g. "(*.mdb)|*.mdb"; `flags` are the common dialog's (0x81800: the file must exist).
struct OpenFileRequest {
    QString title;
    QString filter;
    QString initDir;
    QString fileName;
    int flags = 0;
    bool save = false;  // the save dialog: a new name is fine, an existing one is confirmed
};

// Colours are 0x00BBGGRR values.
struct ColorRequest {
    std::uint32_t color = 0;
    int flags = 0;
};

// A font dialog's preset: each attribute only when the caller knows a single value
// (a mixed selection leaves it empty and the dialog keeps its own default).
struct FontPreset {
    std::optional<QString> name;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> strikethru;
    std::optional<bool> underline;
    std::optional<std::uint32_t> color;
    int flags = 0;
};

struct FontChoice {
    QString name;
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool strikethru = false;
    bool underline = false;
    std::uint32_t color = 0;
};

// Help commands of the help engine: 11 and 15 open the contents, 257 the keyword index,
// 261 looks a keyword up by its beginning.
enum HelpCommand : int {
    HelpFinder = 11,
    HelpContents = 15,
    HelpKey = 257,
    HelpPartialKey = 261,
};

struct HelpRequest {
    QString helpFile;  // e.g. "<application path>/<program>.hlp"
    int command = HelpContents;
    QString key;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual Answer message(const MessageRequest& request) = 0;
    // nullopt when cancelled
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
    virtual std::optional<std::uint32_t> chooseColor(const ColorRequest& request) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontPreset& preset) = 0;
    // Help is not modal: the viewer stays open beside the program.
    virtual void showHelp(const HelpRequest& request) = 0;
    // Opens a web page in the desktop's browser (the shell's "open").
    virtual void openUrl(const QString& url) = 0;
};

// The service in use; the Qt dialogs unless one was installed.
DialogService& dialogs();
// Installs a service and returns the previous one (nullptr for the Qt default).
std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service);

}  // namespace ui
