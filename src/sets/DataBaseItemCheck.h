#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Validation of one input of the set dialogs (create and rename). Kinds are the text box
// indexes: 0 set name, 1/3/5 item names, 2/4 delimiter lists, 6 comment.
namespace sets {

struct ItemCheck {
    bool valid = false;
    QString normalized;  // delimiter kinds: the list as stored
    QString message;     // shown with the title "データベース" when not valid
};

// existingNames: the names of the sets in the question-set list; oldName: the set's
// current name when renaming ("" when creating).
ItemCheck checkDataBaseItemText(const QString& text, const QString& oldName, int kind,
                                const QStringList& existingNames);

// Checks one input against the question-set list and shows the failure's message (title
// "データベース"). Valid: "OK", or the normalised list for kinds 2 and 4. Not valid: nothing.
std::optional<QString> CheckDataBaseItem(const QString& text, const QString& oldName, int kind);

}  // namespace sets
