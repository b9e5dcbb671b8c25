#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "shell/SetSettings.h"

// How a set's display settings reach its record window: colours, the rate box's style, the
// item names and the layout for the use flags.
namespace records {

// Applies the set's display settings and shows the current record, as at opening.
void ApplyDisplaySettings(int slot);

// What the options dialog's rename page changed of a set.
struct RenamedSet {
    QString name;
    std::array<QString, 3> itemNames;
    std::array<QString, 2> delimiters;
    QString comment;
};
// What its display page changed.
struct DisplayChange {
    std::optional<std::int32_t> threshold;  // none when the typed one is no number
    std::array<std::int32_t, shell::kStyledBoxCount> backColors{};
    std::int32_t hidingColor = 0;
    std::array<bool, shell::kRecordTextBoxCount> use{};
};
// The one way the options dialog's changes reach the open record window of the set named
// `setName`; nothing when the set has none. A display change recolours the boxes and lays
// the window out again without reshowing the record, which would drop pending edits.
void ApplyOptionSettings(const QString& setName, const RenamedSet& change);
void ApplyOptionSettings(const QString& setName, const DisplayChange& change);

// Places the window's parts for its size and the set's use flags; nothing while the
// program closes or either window is minimised.
void LayoutRecordWindow(int slot);
// The rate box in the colours, face and style of its side of the set's threshold.
void paintRateBox(int slot, bool decimalComparison);

}  // namespace records
