#include "exchange/DelimitedText.h"

#include <QIODevice>

#include <algorithm>

namespace exchange {

namespace {

constexpr qint64 kChunk = qint64{64} * 1024;

const QStringList& metadataKeys() {
    static const QStringList keys{QStringLiteral("deck column"), QStringLiteral("tags column"),
                                  QStringLiteral("notetype column"), QStringLiteral("guid column")};
    return keys;
}

bool isNoteHeaderKey(const QString& key) {
    static const QStringList plain{QStringLiteral("separator"), QStringLiteral("html"),
                                   QStringLiteral("columns"),   QStringLiteral("tags"),
                                   QStringLiteral("deck"),      QStringLiteral("notetype"),
                                   QStringLiteral("if matches")};
    return plain.contains(key) || metadataKeys().contains(key);
}

}  // namespace

QString ReadError::text() const {
    QString where = QStringLiteral("%1 行目").arg(line);
    if (column > 0) where += QStringLiteral(" %1 列目").arg(column);
    if (!field.isEmpty()) where += QStringLiteral("（%1）").arg(field);
    return where + QStringLiteral(": ") + message;
}

QStringList NoteHeaders::columns(QChar separator) const {
    if (columnsLine.isEmpty()) return {};
    return columnsLine.split(separator);
}

std::optional<QChar> separatorFromName(const QString& value) {
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("tab") || value == QLatin1String("\t")) return QChar('\t');
    if (v == QLatin1String("comma")) return QChar(',');
    if (v == QLatin1String("semicolon")) return QChar(';');
    if (v == QLatin1String("space") || value == QLatin1String(" ")) return QChar(' ');
    if (v == QLatin1String("pipe")) return QChar('|');
    if (v == QLatin1String("colon")) return QChar(':');
    if (v.size() == 1) return v.at(0);
    return std::nullopt;
}

RowReader::RowReader(QIODevice& device, Encoding encoding, QChar separator)
    : device_(device), decoder_(encoding), separator_(separator) {}

RowReader::~RowReader() = default;

qint64 RowReader::bytesRead() const {
    return device_.pos();
}

// Makes `count` characters available from pos_, unless the file ends first.
bool RowReader::ensure(int count) {
    while (buffer_.size() - pos_ < count) {
        if (deviceDone_) return false;
        if (pos_ > 0) {
            buffer_.remove(0, pos_);
            pos_ = 0;
        }
        const QByteArray bytes = device_.read(kChunk);
        if (bytes.isEmpty()) {
            deviceDone_ = true;
            decoder_.finish(buffer_);
        } else {
            decoder_.decode(bytes, buffer_);
        }
    }
    return true;
}

QString RowReader::readPhysicalLine() {
    QString line;
    while (ensure(1)) {
        const QChar c = buffer_.at(pos_++);
        if (c == '\n') break;
        if (c == '\r') {
            if (ensure(1) && buffer_.at(pos_) == '\n') ++pos_;
            break;
        }
        if (line.size() < kMaxFieldLength) line += c;
    }
    ++line_;
    return line;
}

NoteHeaders RowReader::readNoteHeaders() {
    NoteHeaders h;
    while (ensure(1) && buffer_.at(pos_) == '#') {
        // Look at the line before taking it: an ordinary first row may begin with "#".
        int length = 0;
        while (ensure(length + 1) && length <= kMaxFieldLength) {
            const QChar c = buffer_.at(pos_ + length);
            if (c == '\n' || c == '\r') break;
            ++length;
        }
        const QString candidate = buffer_.mid(pos_ + 1, length - 1);
        const int colon = candidate.indexOf(':');
        const QString key = colon < 0 ? QString() : candidate.left(colon).trimmed().toLower();
        if (!isNoteHeaderKey(key)) break;
        const QString value = readPhysicalLine().mid(colon + 2);
        ++h.lines;
        h.present = true;
        if (key == QLatin1String("separator")) {
            h.separator = separatorFromName(value);
        } else if (key == QLatin1String("html")) {
            h.html = value.trimmed().toLower() == QLatin1String("true");
        } else if (key == QLatin1String("columns")) {
            h.columnsLine = value;
        } else if (metadataKeys().contains(key)) {
            bool ok = false;
            const int column = value.trimmed().toInt(&ok);
            if (ok && column > 0) h.metadataColumns << column - 1;
        }
    }
    if (h.separator) separator_ = *h.separator;
    return h;
}

bool RowReader::next(QStringList& fields) {
    fields.clear();
    if (error_ || !ensure(1)) return false;
    rowLine_ = line_;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    int quoteLine = line_;
    const auto fail = [&](int line, const QString& message) {
        error_ = ReadError{line, static_cast<int>(fields.size()) + 1, message, {}};
        fields.clear();
        return false;
    };
    while (true) {
        if (!ensure(1)) {
            if (inQuotes) return fail(quoteLine, QStringLiteral("引用符（\"）が閉じていません。"));
            fields << field;
            return true;
        }
        const QChar c = buffer_.at(pos_++);
        if (inQuotes) {
            if (c == '"') {
                if (ensure(1) && buffer_.at(pos_) == '"') {
                    field += c;
                    ++pos_;
                } else {
                    inQuotes = false;
                }
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && ensure(1) && buffer_.at(pos_) == '\n') ++pos_;
                ++line_;
                field += QChar('\n');
            } else {
                field += c;
            }
        } else if (c == separator_) {
            fields << field;
            field.clear();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && ensure(1) && buffer_.at(pos_) == '\n') ++pos_;
            ++line_;
            fields << field;
            return true;
        } else if (c == '"' && field.isEmpty() && !wasQuoted) {
            inQuotes = wasQuoted = true;
            quoteLine = line_;
        } else {
            // Spreadsheets are lenient with a stray quote inside a field: so are we.
            field += c;
        }
        if (field.size() > kMaxFieldLength)
            return fail(quoteLine > rowLine_ && inQuotes ? quoteLine : line_,
                        QStringLiteral("長すぎます（%1 文字まで）。").arg(kMaxFieldLength));
    }
}

QChar guessSeparator(const QString& firstLine) {
    bool inQuotes = false;
    int commas = 0, semicolons = 0;
    for (const QChar c : firstLine) {
        if (c == '"') inQuotes = !inQuotes;
        if (inQuotes) continue;
        if (c == '\t') return QChar('\t');
        if (c == ',') ++commas;
        if (c == ';') ++semicolons;
    }
    return semicolons > commas ? QChar(';') : QChar(',');
}

void appendDelimitedField(QStringView field, QChar separator, QString& out) {
    const bool quote = std::any_of(field.begin(), field.end(), [separator](QChar c) {
        return c == separator || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (!quote) {
        out += field;
        return;
    }
    out += u'"';
    qsizetype from = 0;
    for (qsizetype i = field.indexOf(u'"'); i >= 0; i = field.indexOf(u'"', i + 1)) {
        out += field.mid(from, i + 1 - from);  // the quote, doubled by the next piece
        from = i;
    }
    out += field.mid(from);
    out += u'"';
}

void appendDelimitedRow(const QStringList& fields, QChar separator, const QString& lineEnd,
                        QString& out) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        appendDelimitedField(fields[i], separator, out);
    }
    out += lineEnd;
}

}  // namespace exchange
