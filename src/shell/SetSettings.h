#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "platform/ui/Twips.h"

namespace dao {
class Recordset;
}

namespace shell {

// The boxes a set's display settings style, in the order every group of seven display
// columns of データベース設定 keeps. The first five are the record's text boxes; the last
// two style the rate box on either side of the set's threshold.
enum SettingsBox : int {
    kItem1Box,
    kItem2Box,
    kItem3Box,
    kCommentBox,
    kSourceBox,
    kRateAtOrAboveBox,
    kRateBelowBox,
};
inline constexpr int kStyledBoxCount = 7;
inline constexpr int kRecordTextBoxCount = 5;

// How one box looks.
struct BoxStyle {
    std::int32_t backColor = 0;  // 0x00BBGGRR
    std::int32_t foreColor = 0;
    std::int32_t fontSize = 0;  // points
    QString fontName;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
};

// A set's row of データベース設定 as its record window uses it (dbID and name aside).
struct SetSettings {
    std::int32_t threshold = 0;  // 正解率閾値
    std::array<BoxStyle, kStyledBoxCount> boxes;
    ui::TwipsRect windowRect;           // 画面X, 画面Y, 画面幅, 画面縦
    std::int32_t windowState = 0;       // 0 normal, 1 minimised, 2 maximised
    std::int32_t hidingColor = 0;       // 文字隠用背景色, used by the drill
    std::array<QString, 2> delimiters;  // 区切り12, 区切り23
    std::array<QString, 3> itemNames;   // 項目1名称 .. 項目3名称
    QString comment;                    // DBコメント
    bool openAtExit = false;            // 終了状態
    // 項目1使用 .. 出展使用: whether each text box is shown.
    std::array<bool, kRecordTextBoxCount> use{};
};

// Column positions in データベース設定. The file format fixes them: the settings are read by
// position, so a column may never move.
namespace settingsColumn {
inline constexpr int kThreshold = 1;
constexpr int backColor(int box) {
    return 2 + box;
}
constexpr int foreColor(int box) {
    return 9 + box;
}
constexpr int fontSize(int box) {
    return 16 + box;
}
inline constexpr int kWindowLeft = 23;
inline constexpr int kWindowTop = 24;
inline constexpr int kWindowWidth = 25;
inline constexpr int kWindowHeight = 26;
inline constexpr int kWindowState = 27;
inline constexpr int kHidingColor = 28;
constexpr int delimiters(int k) {
    return 30 + k;
}
constexpr int itemName(int item) {
    return 32 + item;
}
constexpr int fontName(int box) {
    return 35 + box;
}
inline constexpr int kComment = 42;
inline constexpr int kOpenAtExit = 43;
constexpr int use(int box) {
    return 44 + box;
}
constexpr int bold(int box) {
    return 49 + box;
}
constexpr int italic(int box) {
    return 56 + box;
}
constexpr int strikeOut(int box) {
    return 63 + box;
}
constexpr int underline(int box) {
    return 70 + box;
}
}  // namespace settingsColumn

// The settings of the recordset's current row, read by column position. A Null number or
// flag (a row written by another program) reads as 0 or False, a Null text as "".
SetSettings readSetSettings(dao::Recordset& rs);

}  // namespace shell
