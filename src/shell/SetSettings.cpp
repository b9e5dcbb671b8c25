#include "shell/SetSettings.h"

#include "platform/dao/Recordset.h"

namespace shell {

SetSettings readSetSettings(dao::Recordset& rs) {
    auto number = [&rs](int column) -> std::int32_t {
        const dao::Variant v = rs.Fields(column).Value();
        return v.isNull() ? 0 : v.toLong();
    };
    auto text = [&rs](int column) { return rs.Fields(column).Value().displayText(); };
    auto flag = [&rs](int column) {
        const dao::Variant v = rs.Fields(column).Value();
        return !v.isNull() && v.toBool();
    };
    namespace col = settingsColumn;
    SetSettings s;
    s.threshold = number(col::kThreshold);
    for (int box = 0; box < kStyledBoxCount; ++box) {
        BoxStyle& style = s.boxes[box];
        style.backColor = number(col::backColor(box));
        style.foreColor = number(col::foreColor(box));
        style.fontSize = number(col::fontSize(box));
        style.fontName = text(col::fontName(box));
        style.bold = flag(col::bold(box));
        style.italic = flag(col::italic(box));
        style.strikeOut = flag(col::strikeOut(box));
        style.underline = flag(col::underline(box));
    }
    s.windowRect = {number(col::kWindowLeft), number(col::kWindowTop), number(col::kWindowWidth),
                    number(col::kWindowHeight)};
    s.windowState = number(col::kWindowState);
    s.hidingColor = number(col::kHidingColor);
    for (int k = 0; k < 2; ++k) s.delimiters[k] = text(col::delimiters(k));
    for (int i = 0; i < 3; ++i) s.itemNames[i] = text(col::itemName(i));
    s.comment = text(col::kComment);
    s.openAtExit = flag(col::kOpenAtExit);
    for (int box = 0; box < kRecordTextBoxCount; ++box) s.use[box] = flag(col::use(box));
    return s;
}

}  // namespace shell
