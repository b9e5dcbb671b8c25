#include "platform/ui/DialogService.h"

#include "platform/ui/QtDialogs.h"

namespace ui {

namespace {
std::unique_ptr<DialogService>& installed() {
    static std::unique_ptr<DialogService> service;
    return service;
}
}  // namespace

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
