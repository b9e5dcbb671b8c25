#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "platform/ui/DialogService.h"

// The common dialog control (`CommonDialog1`): set its properties, call a Show method,
// read the result back from the properties. The Show methods return false when the user
// cancels; nothing is changed then. Every dialog goes through the dialog service.
namespace ui {

class CommonDialog {
public:
    // Open file
    QString DialogTitle;
    QString Filter;  // "(*.mdb)|*.mdb"
    QString InitDir;
    QString FileName;  // preset, and the chosen full path after ShowOpen
    int Flags = 0;

    // Colour (0x00BBGGRR), preset and result of ShowColor; also the font colour
    std::optional<std::uint32_t> Color;

    // Font: each attribute presets the dialog only when set; all are set after ShowFont
    std::optional<QString> FontName;
    std::optional<double> FontSize;
    std::optional<bool> FontBold;
    std::optional<bool> FontItalic;
    std::optional<bool> FontStrikethru;
    std::optional<bool> FontUnderline;

    // Help
    QString HelpFile;
    int HelpCommand = ui::HelpContents;
    QString HelpKey;

    bool ShowOpen();
    bool ShowColor();
    bool ShowFont();
    void ShowHelp();
};

}  // namespace ui
