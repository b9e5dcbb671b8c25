#include "platform/ui/ScriptedDialogs.h"

namespace ui {

QString ScriptedDialogs::cancelCaption() {
    return answerCaption(Answer::Cancel);
}

void ScriptedDialogs::queue(const QString& answer) {
    Scripted s;
    s.text = answer;
    answers_.push_back(s);
}

void ScriptedDialogs::queueColor(std::uint32_t color) {
    Scripted s;
    s.kind = Scripted::Color;
    s.color = color;
    answers_.push_back(s);
}

void ScriptedDialogs::queueFont(const FontChoice& font) {
    Scripted s;
    s.kind = Scripted::Font;
    s.font = font;
    answers_.push_back(s);
}

QStringList ScriptedDialogs::shownTexts() const {
    QStringList texts;
    for (const ShownDialog& d : shown_) texts << d.text;
    return texts;
}

bool ScriptedDialogs::next(Scripted& answer) {
    if (answers_.empty()) return false;
    answer = answers_.front();
    answers_.pop_front();
    return true;
}

Answer ScriptedDialogs::message(const MessageRequest& request) {
    ShownDialog shown;
    shown.kind = DialogKind::Message;
    shown.text = request.text;
    shown.title = request.title;
    shown.buttons = request.buttons;
    shown.icon = request.icon;
    const std::vector<Answer> offered = answersOf(request.buttons);
    for (Answer a : offered) shown.buttonCaptions << answerCaption(a);
    Answer answer = offered.front();
    if (Scripted scripted; next(scripted)) {
        bool found = false;
        for (Answer a : offered) {
            if (scripted.kind == Scripted::Text && answerCaption(a) == scripted.text) {
                answer = a;
                found = true;
            }
        }
        // A script that names a button the box does not have is a mistake in the test;
        // record it so the assertion on the answer shows what happened.
        if (!found) shown.answer = QStringLiteral("?") + scripted.text;
    }
    if (shown.answer.isEmpty()) shown.answer = answerCaption(answer);
    shown_.push_back(shown);
    return answer;
}

std::optional<QString> ScriptedDialogs::input(const InputRequest& request) {
    ShownDialog shown;
    shown.kind = DialogKind::Input;
    shown.text = request.prompt;
    shown.title = request.title;
    std::optional<QString> result;
    if (Scripted scripted;
        next(scripted) && scripted.kind == Scripted::Text && scripted.text != cancelCaption())
        result = scripted.text;
    shown.answer = result.value_or(cancelCaption());
    shown_.push_back(shown);
    return result;
}

std::optional<QString> ScriptedDialogs::openFile(const OpenFileRequest& request) {
    ShownDialog shown;
    shown.kind = DialogKind::OpenFile;
    shown.title = request.title;
    shown.openFile = request;
    std::optional<QString> result;
    if (Scripted scripted;
        next(scripted) && scripted.kind == Scripted::Text && scripted.text != cancelCaption())
        result = scripted.text;
    shown.answer = result.value_or(cancelCaption());
    shown_.push_back(shown);
    return result;
}

std::optional<std::uint32_t> ScriptedDialogs::chooseColor(const ColorRequest& request) {
    ShownDialog shown;
    shown.kind = DialogKind::Color;
    shown.color = request;
    std::optional<std::uint32_t> result;
    if (Scripted scripted; next(scripted) && scripted.kind == Scripted::Color)
        result = scripted.color;
    shown.answer = result ? QString::number(*result) : cancelCaption();
    shown_.push_back(shown);
    return result;
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(const FontPreset& preset) {
    ShownDialog shown;
    shown.kind = DialogKind::Font;
    shown.font = preset;
    std::optional<FontChoice> result;
    if (Scripted scripted; next(scripted) && scripted.kind == Scripted::Font)
        result = scripted.font;
    shown.answer = result ? result->name : cancelCaption();
    shown_.push_back(shown);
    return result;
}

void ScriptedDialogs::showHelp(const HelpRequest& request) {
    ShownDialog shown;
    shown.kind = DialogKind::Help;
    shown.help = request;
    shown.text = request.key;
    shown_.push_back(shown);
}

void ScriptedDialogs::openUrl(const QString& url) {
    ShownDialog shown;
    shown.kind = DialogKind::Url;
    shown.url = url;
    shown.text = url;
    shown_.push_back(shown);
}

ScopedScriptedDialogs::ScopedScriptedDialogs() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs_ = scripted.get();
    previous_ = setDialogService(std::move(scripted));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs() {
    setDialogService(std::move(previous_));
}

}  // namespace ui
