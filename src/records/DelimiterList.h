#pragma once

#include <QString>
#include <QStringList>

// A set's delimiter list: pieces joined by ","; an empty piece stands for the comma itself,
// "^@" for "do not split". The first piece is the current delimiter.
namespace records {

inline const QString kNoSplitMarker = QStringLiteral("^@");
inline const QString kNoSplitEntry = QStringLiteral("（^@:区切り処理しない）");
inline const QString kCommaEntry = QStringLiteral(",");

// Keeps the first "^@" piece and drops every later one; the rest keeps its order.
QString NormalizeDelimiterList(const QString& text);

// The combo's entries for a stored list, and the position of the marker entry (-1: none).
struct DelimiterEntries {
    QStringList entries;
    int markerPosition = -1;
};
DelimiterEntries delimiterEntries(const QString& list);

// Entry i moved to the front; returns the new stored list and the marker's new position.
DelimiterEntries moveDelimiterToTop(const QStringList& entries, int index, QString* storedList);

// How the dialogs explain the list's syntax to the user, in full-width characters.
QString delimiterHelpText();

// The stored list of a combo's entries.
QString storedDelimiterList(const QStringList& entries, int* markerPosition);

}  // namespace records
