#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

#include "exchange/TextEncoding.h"

class QIODevice;

// Rows of delimited text: CSV as RFC 4180 has it (quoted fields, doubled quotes, line breaks
// inside quotes), tab-separated text, and the flashcard programs' plain-text note export
// with its "#key:value" header lines.
namespace exchange {

// A field longer than this is refused: nobody drills a text that long, and an unclosed quote
// would otherwise swallow the whole rest of the file.
constexpr int kMaxFieldLength = 65535;

struct ReadError {
    int line = 0;    // 1-based line of the file
    int column = 0;  // 1-based field of the row; 0 when the whole line is meant
    QString message;
    QString field;  // what the column goes to, when it goes anywhere

    // "3 行目 2 列目: ..." as the dialogs and the tool show it.
    QString text() const;
};

// The header lines of the note format: "#separator:", "#html:", "#columns:" and the
// "#... column:" lines that name columns holding no field (deck, tags, note type, guid).
struct NoteHeaders {
    bool present = false;
    std::optional<QChar> separator;
    std::optional<bool> html;
    QString columnsLine;         // split once the separator is known
    QList<int> metadataColumns;  // 0-based
    int lines = 0;               // header lines read

    QStringList columns(QChar separator) const;
};

// The separator a "#separator:" value names: Tab, Comma, Semicolon, Space, Pipe, Colon, or
// the character itself.
std::optional<QChar> separatorFromName(const QString& value);

// Streams rows from a device in bounded memory. Line breaks inside quoted fields come out
// as "\n" whatever the file used.
class RowReader {
public:
    // The device is positioned after any byte order mark.
    RowReader(QIODevice& device, Encoding encoding, QChar separator);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    void setSeparator(QChar separator) { separator_ = separator; }

    // Reads the note format's header lines at the start of the file, if there are any.
    NoteHeaders readNoteHeaders();

    // The next row; false at the end of the file or at an error (see error()).
    bool next(QStringList& fields);
    const std::optional<ReadError>& error() const { return error_; }
    int rowLine() const { return rowLine_; }  // first line of the row last read
    qint64 bytesRead() const;

private:
    bool ensure(int count);
    QString readPhysicalLine();

    QIODevice& device_;
    TextDecoder decoder_;
    QChar separator_;
    QString buffer_;
    int pos_ = 0;
    bool deviceDone_ = false;
    int line_ = 1;
    int rowLine_ = 0;
    std::optional<ReadError> error_;
};

// Guesses the separator from the first line: the note headers' own, else tab when the line
// holds a tab outside quotes, else comma.
QChar guessSeparator(const QString& firstLine);

// One field of delimited text, quoted only when it holds the separator, a quote or a line
// break.
void appendDelimitedField(QStringView field, QChar separator, QString& out);

// One row of delimited text, its fields as appendDelimitedField() writes them. Ends with
// `lineEnd`.
void appendDelimitedRow(const QStringList& fields, QChar separator, const QString& lineEnd,
                        QString& out);

}  // namespace exchange
