#include "exchange/ImportFile.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace exchange {

namespace {

constexpr int kPreviewRows = 20;

QString notTextMessage() {
    return QStringLiteral("テキストファイルではありません。");
}

QString mixedMessage() {
    return QStringLiteral("文字コードが混在しています（UTF-8 の行とそうでない行があります）。");
}

QString undecodableMessage(Encoding encoding) {
    return QStringLiteral("文字コード %1 として読めない文字があります。")
        .arg(encodingName(encoding));
}

bool opened(QFile& file, QString& error) {
    if (file.open(QIODevice::ReadOnly)) return true;
    error = QStringLiteral("ファイルを開けません。\n") + file.errorString();
    return false;
}

int bomLength(QFile& file) {
    const QByteArray head = file.peek(3);
    if (head.startsWith("\xEF\xBB\xBF")) return 3;
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) return 2;
    return 0;
}

QString firstLine(QFile& file, Encoding encoding) {
    TextDecoder decoder(encoding);
    QString text;
    decoder.decode(file.peek(64 * 1024 + bomLength(file)).mid(bomLength(file)), text);
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

bool isUtf16(Encoding e) {
    return e == Encoding::Utf16LE || e == Encoding::Utf16BE;
}

QChar separatorFor(FileFormat format, QChar guessed) {
    switch (format) {
        case FileFormat::Csv:
            return guessed == '\t' ? QChar(',') : guessed;
        case FileFormat::Tab:
        case FileFormat::Note:
            return QChar('\t');
    }
    return guessed;
}

}  // namespace

QString targetCaption(int target) {
    static const char* const captions[] = {"項目１", "項目２", "項目３", "コメント", "出展"};
    return target >= 0 && target < kTargetCount ? QString::fromUtf8(captions[target]) : QString();
}

int targetOfColumnName(const QString& name, const QStringList& itemNames) {
    const QString n = name.trimmed().toLower();
    if (n.isEmpty()) return kSkipColumn;
    for (int i = 0; i < itemNames.size() && i < 3; ++i)
        if (!itemNames[i].isEmpty() && n == itemNames[i].trimmed().toLower()) return i;
    static const QList<QStringList> names{
        {"項目１", "項目1", "item1", "item 1", "front", "表", "表面", "question", "問題", "単語",
         "word", "term", "expression"},
        {"項目２", "項目2", "item2", "item 2", "back", "裏", "裏面", "answer", "答え", "解答",
         "意味", "meaning", "definition"},
        {"項目３", "項目3", "item3", "item 3", "読み", "reading"},
        {"コメント", "comment", "comments", "note", "notes", "メモ", "備考", "extra"},
        {"出展", "出典", "source", "sources"}};
    for (int t = 0; t < names.size(); ++t)
        if (names[t].contains(n)) return t;
    return kSkipColumn;
}

FileProbe probeFile(const QString& path, std::optional<Encoding> encoding,
                    std::optional<FileFormat> format, const QStringList& itemNames) {
    FileProbe probe;
    probe.settings.path = path;
    QFile file(path);
    if (!opened(file, probe.error)) return probe;
    probe.detection = detectEncoding(file);
    if (probe.detection.binary) {
        probe.error = notTextMessage();
        return probe;
    }
    ImportSettings& s = probe.settings;
    s.encoding = encoding.value_or(probe.detection.encoding);
    const int bom = probe.detection.bomLength;

    file.seek(bom);
    if (probe.detection.mixedLine && !isUtf16(s.encoding))
        probe.problem = ReadError{*probe.detection.mixedLine, 0, mixedMessage(), {}};
    else if (const auto bad = firstInvalidLine(file, s.encoding))
        probe.problem = ReadError{*bad, 0, undecodableMessage(s.encoding), {}};

    file.seek(0);
    const QChar guessed = guessSeparator(firstLine(file, s.encoding));
    file.seek(bom);
    RowReader reader(file, s.encoding, guessed);
    const NoteHeaders notes = reader.readNoteHeaders();
    if (notes.present) {
        s.format = format.value_or(FileFormat::Note);
        s.separator = notes.separator.value_or(QChar('\t'));
        s.html = notes.html.value_or(false);
        probe.columnNames = notes.columns(s.separator);
    } else {
        s.format = format.value_or(guessed == '\t' ? FileFormat::Tab : FileFormat::Csv);
        s.separator = separatorFor(s.format, guessed);
    }
    reader.setSeparator(s.separator);

    QStringList row;
    while (probe.previewRows.size() < kPreviewRows + 1 && reader.next(row))
        probe.previewRows << row;
    if (reader.error() && !probe.problem) probe.problem = reader.error();

    // A first row made of known column names is a header row.
    if (!notes.present && !probe.previewRows.isEmpty()) {
        const QStringList& first = probe.previewRows.front();
        const bool named = std::any_of(first.begin(), first.end(), [&](const QString& cell) {
            return targetOfColumnName(cell, itemNames) != kSkipColumn;
        });
        if (named) {
            s.headerRow = true;
            probe.columnNames = first;
            probe.previewRows.removeFirst();
        }
    }
    while (probe.previewRows.size() > kPreviewRows) probe.previewRows.removeLast();

    probe.columnCount = static_cast<int>(probe.columnNames.size());
    for (const QStringList& r : probe.previewRows)
        probe.columnCount = std::max(probe.columnCount, static_cast<int>(r.size()));

    // Columns by name when the names say something; otherwise in order, leaving out the
    // columns the note headers mark as deck, tags and the like.
    bool byName = false;
    for (int c = 0; c < probe.columnCount; ++c) {
        const QString name = c < probe.columnNames.size() ? probe.columnNames[c] : QString();
        const int target =
            notes.metadataColumns.contains(c) ? kSkipColumn : targetOfColumnName(name, itemNames);
        if (target != kSkipColumn && !s.mapping.contains(target)) {
            s.mapping << target;
            byName = true;
        } else {
            s.mapping << kSkipColumn;
        }
    }
    if (!byName) {
        s.mapping.clear();
        int next = 0;
        for (int c = 0; c < probe.columnCount; ++c) {
            const bool data = !notes.metadataColumns.contains(c) && next < kTargetCount;
            s.mapping << (data ? next++ : kSkipColumn);
        }
    }
    return probe;
}

ImportReader::ImportReader(const ImportSettings& settings) : settings_(settings) {}

ImportReader::~ImportReader() = default;

bool ImportReader::open() {
    file_ = std::make_unique<QFile>(settings_.path);
    QString message;
    if (!opened(*file_, message)) {
        error_ = ReadError{0, 0, message, {}};
        return false;
    }
    const Detection d = detectEncoding(*file_);
    if (d.binary) {
        error_ = ReadError{0, 0, notTextMessage(), {}};
        return false;
    }
    if (d.mixedLine && !isUtf16(settings_.encoding)) {
        error_ = ReadError{*d.mixedLine, 0, mixedMessage(), {}};
        return false;
    }
    file_->seek(d.bomLength);
    if (const auto bad = firstInvalidLine(*file_, settings_.encoding)) {
        error_ = ReadError{*bad, 0, undecodableMessage(settings_.encoding), {}};
        return false;
    }
    file_->seek(d.bomLength);
    reader_ = std::make_unique<RowReader>(*file_, settings_.encoding, settings_.separator);
    if (settings_.format == FileFormat::Note) {
        reader_->readNoteHeaders();
        reader_->setSeparator(settings_.separator);
    }
    if (settings_.headerRow && !reader_->next(fields_) && reader_->error()) {
        error_ = reader_->error();
        return false;
    }
    return true;
}

bool ImportReader::next(ImportRow& row) {
    if (!reader_ || error_) return false;
    while (reader_->next(fields_)) {
        const bool blank = std::all_of(fields_.begin(), fields_.end(),
                                       [](const QString& f) { return f.trimmed().isEmpty(); });
        if (blank) continue;
        row.line = reader_->rowLine();
        for (QString& t : row.texts) t.clear();
        for (int c = 0; c < fields_.size() && c < settings_.mapping.size(); ++c) {
            const int target = settings_.mapping[c];
            if (target >= 0 && target < kTargetCount) row.texts[target] = fields_[c];
        }
        return true;
    }
    if (reader_->error()) {
        error_ = reader_->error();
        const int c = error_->column - 1;
        if (c >= 0 && c < settings_.mapping.size())
            error_->field = targetCaption(settings_.mapping[c]);
    }
    return false;
}

std::optional<ReadError> ImportReader::error() const {
    return error_;
}

qint64 ImportReader::size() const {
    return file_ ? file_->size() : 0;
}

qint64 ImportReader::position() const {
    return reader_ ? reader_->bytesRead() : 0;
}

}  // namespace exchange
