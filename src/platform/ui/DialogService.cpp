#include "platform/ui/DialogService.h"

#include "platform/ui/QtDialogs.h"

namespace ui {

namespace {
std::unique_ptr<DialogService>& installed() {
    static std::unique_ptr<DialogService> service;
    return service;
}
}  // namespace

std::vector<Answer> answersOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::OKOnly:
            return {Answer::OK};
        case Buttons::OKCancel:
            return {Answer::OK, Answer::Cancel};
        case Buttons::AbortRetryIgnore:
            return {Answer::Abort, Answer::Retry, Answer::Ignore};
        case Buttons::YesNoCancel:
            return {Answer::Yes, Answer::No, Answer::Cancel};
        case Buttons::YesNo:
            return {Answer::Yes, Answer::No};
        case Buttons::RetryCancel:
            return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::OK};
}

QString answerCaption(Answer answer) {
    switch (answer) {
        case Answer::OK:
            return QStringLiteral("OK");
        case Answer::Cancel:
            return QStringLiteral("キャンセル");
        case Answer::Abort:
            return QStringLiteral("中止");
        case Answer::Retry:
            return QStringLiteral("再試行");
        case Answer::Ignore:
            return QStringLiteral("無視");
        case Answer::Yes:
            return QStringLiteral("はい");
        case Answer::No:
            return QStringLiteral("いいえ");
    }
    return QString();
}

DialogService& dialogs() {
    static QtDialogs qtDialogs;
    DialogService* service = installed().get();
    return service ? *service : qtDialogs;
}

std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service) {
    std::unique_ptr<DialogService> previous = std::move(installed());
    installed() = std::move(service);
    return previous;
}

}  // namespace ui
