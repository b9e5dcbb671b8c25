#include "platform/ui/CommonDialog.h"

namespace ui {

bool CommonDialog::ShowOpen() {
    OpenFileRequest request;
    request.title = DialogTitle;
    request.filter = Filter;
    request.initDir = InitDir;
    request.fileName = FileName;
    request.flags = Flags;
    const std::optional<QString> chosen = dialogs().openFile(request);
    if (!chosen) return false;
    FileName = *chosen;
    return true;
}

bool CommonDialog::ShowColor() {
    ColorRequest request;
    request.color = Color.value_or(0);
    request.flags = Flags;
    const std::optional<std::uint32_t> chosen = dialogs().chooseColor(request);
    if (!chosen) return false;
    Color = *chosen;
    return true;
}

bool CommonDialog::ShowFont() {
    FontPreset preset;
    preset.name = FontName;
    preset.size = FontSize;
    preset.bold = FontBold;
    preset.italic = FontItalic;
    preset.strikethru = FontStrikethru;
    preset.underline = FontUnderline;
    preset.color = Color;
    preset.flags = Flags;
    const std::optional<FontChoice> chosen = dialogs().chooseFont(preset);
    if (!chosen) return false;
    FontName = chosen->name;
    FontSize = chosen->size;
    FontBold = chosen->bold;
    FontItalic = chosen->italic;
    FontStrikethru = chosen->strikethru;
    FontUnderline = chosen->underline;
    Color = chosen->color;
    return true;
}

void CommonDialog::ShowHelp() {
    HelpRequest request;
    request.helpFile = HelpFile;
    request.command = HelpCommand;
    request.key = HelpKey;
    dialogs().showHelp(request);
}

}  // namespace ui
