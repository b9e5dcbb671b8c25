#pragma once

#include "platform/ui/DialogService.h"

// The dialog service the program runs with: QMessageBox, QInputDialog, QFileDialog,
// QColorDialog, a font dialog with a colour choice, and the help viewer.
namespace ui {

class QtDialogs final : public DialogService {
public:
    Answer message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> chooseColor(const ColorRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontPreset& preset) override;
    void showHelp(const HelpRequest& request) override;
    void openUrl(const QString& url) override;
};

// "(*.mdb)|*.mdb|テキスト|*.txt" as QFileDialog name filters.
QStringList qtNameFilters(const QString& filter);

}  // namespace ui
