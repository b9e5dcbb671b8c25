#include "platform/ui/MessageBox.h"

#include <QCoreApplication>

namespace ui {

Answer MsgBox(const QString& prompt, Buttons buttons, const QString& title, Icon icon,
              DefaultButton defaultButton) {
    MessageRequest request;
    request.text = prompt;
    request.title = title.isEmpty() ? QCoreApplication::applicationName() : title;
    request.buttons = buttons;
    request.icon = icon;
    request.defaultButton = defaultButton;
    return dialogs().message(request);
}

std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                const QString& defaultText) {
    InputRequest request;
    request.prompt = prompt;
    request.title = title.isEmpty() ? QCoreApplication::applicationName() : title;
    request.defaultText = defaultText;
    return dialogs().input(request);
}

}  // namespace ui
