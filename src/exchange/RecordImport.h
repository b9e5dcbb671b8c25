#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

#include "exchange/ImportFile.h"
#include "platform/richtext/RichText.h"

namespace dao {
class Database;
}

// Storing imported rows as records of a set, the way the record window stores a typed one.
namespace exchange {

using ItemFormats = std::array<richtext::Format, kTargetCount>;

// The format new text of each item starts in: the set's face and size for it.
ItemFormats setItemFormats(dao::Database& db, std::int32_t dbID);

// The plain text and the RTF of the five items, as the record window writes them.
struct RecordTexts {
    std::array<QString, kTargetCount> plain;
    std::array<QString, kTargetCount> rtf;
};
RecordTexts recordTexts(const std::array<QString, kTargetCount>& texts, bool html,
                        const ItemFormats& formats);

// Called with the bytes read so far and the file's size; returning false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct ImportOutcome {
    enum class Status { Stored, Cancelled, Failed };
    Status status = Status::Failed;
    int stored = 0;
    int skipped = 0;  // rows whose 項目１ was empty
    QString message;  // for Failed: what went wrong, with the line and field
};

// Reads the file and stores its rows in one transaction: a failure or a cancel stores
// nothing. `prepareTarget` runs inside the transaction and returns the set's dbID (a new set
// makes its row there, so it goes too when the import does not complete). `highestID`
// advances only when the records are stored.
ImportOutcome importRecords(dao::Database& db, const ImportSettings& settings,
                            const std::function<std::int32_t()>& prepareTarget,
                            std::int32_t& highestID, const Progress& progress = {});

}  // namespace exchange
