#pragma once

#include <QList>
#include <QString>

#include <cstdint>

#include "exchange/RecordImport.h"

namespace dao {
class Database;
}

// Writing a set's records, or every set's, to a file another program can read.
namespace exchange {

enum class ExportFormat {
    CsvUtf8,   // CSV, UTF-8 with BOM (spreadsheets recognise the encoding by it)
    CsvCp932,  // CSV in cp932, for spreadsheets on Japanese systems
    Tab,       // tab-separated, UTF-8
    Note       // the flashcard note format: header lines, tab-separated, rich text as HTML
};

struct ExportSettings {
    QString path;
    ExportFormat format = ExportFormat::CsvUtf8;
    QList<std::int32_t> dbIDs;  // the sets, in this order
    bool setColumn = false;     // a first column with the set's name (when several sets go)
    bool counters = false;      // 正解回数, 出題回数
    bool rate = false;          // 正解率
    bool dates = false;         // 登録日, 登録時刻
};

struct ExportOutcome {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    int records = 0;
    long long unmappable = 0;  // characters cp932 lacks, written as "?"
    QString message;
};

// Writes the file whole or not at all: the previous file stays until the new one is
// complete. `progress` gets records written and records in all.
ExportOutcome exportRecords(dao::Database& db, const ExportSettings& settings,
                            const Progress& progress = {});

}  // namespace exchange
