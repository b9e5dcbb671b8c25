#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

#include "exchange/DelimitedText.h"
#include "exchange/TextEncoding.h"

class QFile;

// Reading a word list for import: what the file is, a preview, which column goes where, and
// the rows mapped onto the five texts of a record.
namespace exchange {

enum class FileFormat { Csv, Tab, Note };

// Targets of a column: the five texts of a record, or none.
constexpr int kSkipColumn = -1;
constexpr int kTargetCount = 5;
// "項目１", "項目２", "項目３", "コメント", "出展"
QString targetCaption(int target);

struct ImportSettings {
    QString path;
    Encoding encoding = Encoding::Utf8;
    FileFormat format = FileFormat::Csv;
    QChar separator = ',';
    bool html = false;
    bool headerRow = false;
    QList<int> mapping;  // per column: 0..4 or kSkipColumn; columns past the end are skipped
    bool skipEmptyItem1 = true;
};

// What a first look at the file found, with the settings it suggests.
struct FileProbe {
    QString error;  // the file cannot be imported at all (not text, cannot be read)
    Detection detection;
    ImportSettings settings;
    QStringList columnNames;         // from "#columns:" or the header row
    QList<QStringList> previewRows;  // the first data rows
    int columnCount = 0;
    std::optional<ReadError> problem;  // found while reading the preview
};

// Looks at the file. A chosen encoding or format replaces the detected one; `itemNames` are
// the target set's names for its three items, which a header may use.
FileProbe probeFile(const QString& path, std::optional<Encoding> encoding = std::nullopt,
                    std::optional<FileFormat> format = std::nullopt,
                    const QStringList& itemNames = {});

// Which target a column name stands for, or kSkipColumn.
int targetOfColumnName(const QString& name, const QStringList& itemNames = {});

// One data row, mapped.
struct ImportRow {
    int line = 0;
    std::array<QString, kTargetCount> texts;
};

// Streams the mapped rows of a file.
class ImportReader {
public:
    explicit ImportReader(const ImportSettings& settings);
    ~ImportReader();
    ImportReader(const ImportReader&) = delete;
    ImportReader& operator=(const ImportReader&) = delete;

    // False with error() set when the file cannot be opened or does not decode.
    bool open();
    // The next data row; false at the end or at an error.
    bool next(ImportRow& row);
    std::optional<ReadError> error() const;
    qint64 size() const;
    qint64 position() const;

private:
    ImportSettings settings_;
    std::unique_ptr<QFile> file_;
    std::unique_ptr<RowReader> reader_;
    std::optional<ReadError> error_;
    QStringList fields_;
};

}  // namespace exchange
