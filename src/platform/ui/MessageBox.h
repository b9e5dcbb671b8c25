#pragma once

#include <QString>

#include <optional>

#include "platform/ui/DialogService.h"

// Message and input boxes, shown through the dialog service so that tests can answer them.
namespace ui {

// The title a box shows when it is given none; the program sets it once at start-up.
// Until then it is the application name.
void setDefaultTitle(const QString& title);
QString defaultTitle();

// A modal message box. An empty title shows the default title (as the program's own boxes
// do); line breaks in `prompt` are "\n".
Answer MsgBox(const QString& prompt, Buttons buttons = Buttons::OKOnly,
              const QString& title = QString(), Icon icon = Icon::None,
              DefaultButton defaultButton = DefaultButton::First);

// A modal input box; nullopt when the user cancels.
std::optional<QString> InputBox(const QString& prompt, const QString& title = QString(),
                                const QString& defaultText = QString());

}  // namespace ui
