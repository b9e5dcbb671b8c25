#pragma once

#include <QString>

#include <array>
#include <optional>

namespace dao {
class Recordset;
}

namespace shell {

// The five texts of a record (item 1, item 2, item 3, comment, source), each kept twice in
// データ: as plain text (searched, shown in grids) and as RTF (shown and edited). Positions
// are the columns' places in データ, which the file format fixes.
struct RecordTextColumn {
    int textPosition;
    int rtfPosition;
    const char* text;
    const char* rtf;
};
inline constexpr std::array<RecordTextColumn, 5> kRecordTextColumns = {{
    {2, 7, "項目1", "項目1RTF"},
    {3, 8, "項目2", "項目2RTF"},
    {4, 9, "項目3", "項目3RTF"},
    {5, 10, "コメント", "コメントRTF"},
    {6, 11, "出展", "出展RTF"},
}};

// One text of a record as a box holds it.
struct RecordText {
    QString text;
    QString rtf;
};

// A record's five texts in box order; a box without a value is left out.
using RecordTexts = std::array<std::optional<RecordText>, kRecordTextColumns.size()>;

// Writes each given text and its RTF together into the current row of `rs` (being edited
// or added), by column name, so that any statement over データ takes them; a box without a
// value leaves its two columns as they are.
void writeRecordTexts(dao::Recordset& rs, const RecordTexts& texts);

}  // namespace shell
