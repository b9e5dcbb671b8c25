#include "platform/ui/MessageBox.h"

#include <QCoreApplication>

namespace ui {

namespace {
QString& defaultTitleStore() {
    static QString title;
    return title;
}
}  // namespace

void setDefaultTitle(const QString& title) {
    defaultTitleStore() = title;
}

QString defaultTitle() {
    const QString& title = defaultTitleStore();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

Answer MsgBox(const QString& prompt, Buttons buttons, const QString& title, Icon icon,
              DefaultButton defaultButton) {
    MessageRequest request;
    request.text = prompt;
    request.title = title.isEmpty() ? defaultTitle() : title;
    request.buttons = buttons;
    request.icon = icon;
    request.defaultButton = defaultButton;
    return dialogs().message(request);
}

std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                const QString& defaultText) {
    InputRequest request;
    request.prompt = prompt;
    request.title = title.isEmpty() ? defaultTitle() : title;
    request.defaultText = defaultText;
    return dialogs().input(request);
}

}  // namespace ui
