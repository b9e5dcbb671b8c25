#include "exchange/RecordExport.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "exchange/DelimitedText.h"
#include "exchange/HtmlRichText.h"
#include "exchange/OrderedWorkers.h"
#include "exchange/TextEncoding.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"

namespace exchange {

namespace {

// Rows in a batch: fewer hand-overs between the threads than with 256, for about 15 MB more.
constexpr size_t kBatchRows = 1024;
constexpr qint64 kProgressEvery = 256;  // rows between progress reports (and chances to cancel)

const char* const kPlainColumns[] = {"項目１", "項目２", "項目３", "コメント", "出展"};
const char* const kRtfColumns[] = {"項目１RTF", "項目２RTF", "項目３RTF", "コメントRTF", "出展RTF"};

// Where each column the file needs sits in the recordset, found once per set.
struct ColumnIndexes {
    std::array<int, kTargetCount> plain{}, rtf{};
    int right = -1, asked = -1, rate = -1, day = -1, time = -1;
};

struct SetToWrite {
    dao::Database* db = nullptr;
    std::int32_t dbID = 0;
    QString name;
    ItemFormats formats;
    std::unique_ptr<dao::Recordset> records;
    ColumnIndexes columns;
};

QStringList headerNames(const ExportSettings& s) {
    QStringList names;
    if (s.setColumn) names << QStringLiteral("データベース");
    for (int t = 0; t < kTargetCount; ++t) names << targetCaption(t);
    if (s.counters) names << QStringLiteral("正解回数") << QStringLiteral("出題回数");
    if (s.rate) names << QStringLiteral("正解率");
    if (s.dates) names << QStringLiteral("登録日") << QStringLiteral("登録時刻");
    return names;
}

QString setName(dao::Database& db, std::int32_t dbID) {
    const auto rs =
        db.OpenRecordset(QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
    rs->FindFirst(QStringLiteral("dbID =%1").arg(dbID));
    return rs->NoMatch() ? QString() : rs->value(QStringLiteral("データベース名")).displayText();
}

// Only the columns the file needs: the RTF columns are the bulk of a record.
QString recordsStatement(std::int32_t dbID, const ExportSettings& s) {
    // The note format reads the plain texts only for a record stored without RTF.
    QStringList columns{QStringLiteral("ID")};
    for (const char* c : s.format == ExportFormat::Note ? kRtfColumns : kPlainColumns)
        columns << QString::fromUtf8(c);
    if (s.counters) columns << QStringLiteral("正解回数") << QStringLiteral("出題回数");
    if (s.rate) columns << QStringLiteral("正解率");
    if (s.dates) columns << QStringLiteral("登録日") << QStringLiteral("登録時刻");
    return QStringLiteral("select ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(
               " from データ where dbID = %1 ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC")
               .arg(dbID);
}

ColumnIndexes indexesOf(const dao::Recordset& rs, const ExportSettings& s) {
    ColumnIndexes c;
    const auto at = [&rs](const QString& name) { return rs.fieldIndex(name).value_or(-1); };
    for (int t = 0; t < kTargetCount; ++t) {
        c.plain[t] = at(QString::fromUtf8(kPlainColumns[t]));
        c.rtf[t] = s.format == ExportFormat::Note ? at(QString::fromUtf8(kRtfColumns[t])) : -1;
    }
    c.right = at(QStringLiteral("正解回数"));
    c.asked = at(QStringLiteral("出題回数"));
    c.rate = at(QStringLiteral("正解率"));
    c.day = at(QStringLiteral("登録日"));
    c.time = at(QStringLiteral("登録時刻"));
    return c;
}

// Rows as read, every field's text back to back in one buffer. In the note format the item
// fields still hold RTF (or, for a record stored without RTF, plain text) until a worker
// writes them as HTML. The buffers are refilled, not made anew: with a string per field the
// reader allocated what the workers freed, and the threads queued on malloc's lock.
struct Batch {
    struct Row {
        const SetToWrite* set = nullptr;
        std::array<bool, kTargetCount> plainOnly{};
    };
    QString text;
    std::vector<qsizetype> fieldEnds;  // where each field ends in text, row after row
    std::vector<Row> rows;

    std::size_t count() const { return rows.size(); }
    void clear() {
        text.resize(0);  // resize, unlike clear, keeps the buffer
        fieldEnds.clear();
        rows.clear();
    }
    void addField(QStringView field) {
        text += field;
        fieldEnds.push_back(text.size());
    }
};

// Item t's plain text of the current record, read on its own.
QString plainText(dao::Database& db, dao::Recordset& rs, int t) {
    const auto record = db.OpenRecordset(QStringLiteral("select %1 from データ where ID = %2")
                                             .arg(QString::fromUtf8(kPlainColumns[t]))
                                             .arg(rs.value(QStringLiteral("ID")).toLong()),
                                         dao::dbOpenDynaset);
    return record->RecordCount() > 0 ? record->Fields(0).Value().displayText() : QString();
}

void readRow(dao::Recordset& rs, const SetToWrite& set, const ExportSettings& s, Batch& batch) {
    const ColumnIndexes& c = set.columns;
    const auto value = [&rs](int index) { return rs.Fields(index).Value(); };
    Batch::Row row{&set, {}};
    if (s.setColumn) batch.addField(set.name);
    for (int t = 0; t < kTargetCount; ++t) {
        if (c.rtf[t] < 0) {
            batch.addField(value(c.plain[t]).displayText());
            continue;
        }
        const QString rtf = value(c.rtf[t]).displayText();
        if (rtf.isEmpty()) {
            batch.addField(plainText(*set.db, rs, t));
            row.plainOnly[t] = true;
        } else {
            batch.addField(rtf);
        }
    }
    if (s.counters) {
        batch.addField(value(c.right).displayText());
        batch.addField(value(c.asked).displayText());
    }
    if (s.rate) {
        const dao::Variant rate = value(c.rate);
        batch.addField(rate.isNull() ? QString() : QString::number(rate.toDouble(), 'f', 1));
    }
    if (s.dates) {
        const dao::Variant day = value(c.day);
        const dao::Variant time = value(c.time);
        batch.addField(day.isNull() ? QString()
                                    : day.toDateTime().date.toString(QStringLiteral("yyyy/MM/dd")));
        batch.addField(time.isNull() ? QString()
                                     : time.toDateTime().time.toString(QStringLiteral("HH:mm:ss")));
    }
    batch.rows.push_back(row);
}

Encoding encodingOf(ExportFormat f) {
    return f == ExportFormat::CsvCp932 ? Encoding::Cp932 : Encoding::Utf8;
}

bool isCsv(ExportFormat f) {
    return f == ExportFormat::CsvUtf8 || f == ExportFormat::CsvCp932;
}
QChar separatorOf(ExportFormat f) {
    return isCsv(f) ? QChar(',') : QChar('\t');
}
QLatin1StringView lineEndOf(ExportFormat f) {
    return isCsv(f) ? QLatin1StringView("\r\n") : QLatin1StringView("\n");
}

// What a worker thread keeps from one batch to the next.
struct RowWriter {
    explicit RowWriter(ExportFormat format) : encoder(encodingOf(format)) {}
    TextEncoder encoder;
    RtfToHtml toHtml;
    QString text, html;
};

// A batch's rows as the file's text, in its encoding. Items become HTML in the note format.
void writeRows(const Batch& batch, const ExportSettings& s, RowWriter& w, QByteArray& bytes) {
    const QChar separator = separatorOf(s.format);
    const QLatin1StringView lineEnd = lineEndOf(s.format);
    const bool note = s.format == ExportFormat::Note;
    const int firstItem = s.setColumn ? 1 : 0;
    const std::size_t fieldsPerRow = batch.count() > 0 ? batch.fieldEnds.size() / batch.count() : 0;
    const QStringView text(batch.text);
    w.text.resize(0);
    std::size_t f = 0;
    qsizetype start = 0;
    for (const Batch::Row& row : batch.rows) {
        for (std::size_t i = 0; i < fieldsPerRow; ++i, ++f) {
            const QStringView field = text.sliced(start, batch.fieldEnds[f] - start);
            start = batch.fieldEnds[f];
            if (i > 0) w.text += separator;
            const int t = static_cast<int>(i) - firstItem;
            if (!note || t < 0 || t >= kTargetCount) {
                appendDelimitedField(field, separator, w.text);
                continue;
            }
            const richtext::Format& base = row.set->formats[t];
            w.html.resize(0);
            if (row.plainOnly[t])
                w.html =
                    documentToHtml(richtext::Document::fromPlainText(field.toString(), base), base);
            else
                w.toHtml.append(field, base, w.html);
            appendDelimitedField(w.html, separator, w.text);
        }
        w.text += lineEnd;
    }
    bytes = w.encoder.encode(w.text);
}

// Reading is the database's and stays on this thread; writing the rows, RTF to HTML above
// all, goes to one worker per core: the reading thread waits on its page reads often enough
// that a worker beside it on its core still gains (on two cores, 2.27 s -> 2.0 s).
int workerThreads() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 3);
}

}  // namespace

ExportOutcome exportRecords(dao::Database& db, const ExportSettings& s, const Progress& progress) {
    ExportOutcome outcome;
    QSaveFile file(s.path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.message = QStringLiteral("ファイルに書き込めません。\n") + file.errorString();
        return outcome;
    }
    const auto write = [&file](const QByteArray& bytes) {
        if (file.write(bytes) < 0) throw std::runtime_error(file.errorString().toStdString());
    };
    // One read transaction: every row is read under the same lock and from the same state.
    db.BeginTrans();
    struct EndRead {
        dao::Database& db;
        ~EndRead() {
            try {
                db.Rollback();
            } catch (...) {
            }
        }
    } endRead{db};
    std::vector<std::unique_ptr<RowWriter>> writers;
    for (int w = 0; w < workerThreads(); ++w)
        writers.push_back(std::make_unique<RowWriter>(s.format));
    try {
        std::vector<SetToWrite> sets;
        qint64 total = 0;
        for (const std::int32_t dbID : s.dbIDs) {
            SetToWrite set;
            set.db = &db;
            set.dbID = dbID;
            set.name = setName(db, dbID);
            set.formats = setItemFormats(db, dbID);
            set.records = db.OpenRecordset(recordsStatement(dbID, s), dao::dbOpenDynaset);
            set.columns = indexesOf(*set.records, s);
            total += set.records->RecordCount();
            sets.push_back(std::move(set));
        }
        TextEncoder headerEncoder(encodingOf(s.format));
        if (s.format == ExportFormat::CsvUtf8) write(headerEncoder.byteOrderMark());
        const QStringList header = headerNames(s);
        QString head;
        if (s.format == ExportFormat::Note) {
            head += QStringLiteral("#separator:tab\n#html:true\n#columns:") +
                    header.join(QChar('\t')) + QChar('\n');
            if (s.setColumn) head += QStringLiteral("#deck column:1\n");
        } else {
            appendDelimitedRow(header, separatorOf(s.format), lineEndOf(s.format), head);
        }
        write(headerEncoder.encode(head));
        outcome.unmappable = headerEncoder.unmappable();

        OrderedWorkers<Batch> workers(static_cast<int>(writers.size()),
                                      [&s, &writers](int w, Batch& batch, QByteArray& bytes) {
                                          writeRows(batch, s, *writers[static_cast<std::size_t>(w)],
                                                    bytes);
                                      });
        Batch batch;
        const auto handOver = [&] {
            workers.submit(batch, write);
            batch.clear();
        };
        for (SetToWrite& set : sets) {
            dao::Recordset& rs = *set.records;
            if (rs.RecordCount() == 0) continue;
            for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
                readRow(rs, set, s, batch);
                ++outcome.records;
                if (batch.count() == kBatchRows) handOver();
                if (outcome.records % kProgressEvery != 0) continue;
                if (progress && !progress(outcome.records, total)) {
                    file.cancelWriting();
                    return ExportOutcome{ExportOutcome::Status::Cancelled, 0, 0, {}};
                }
            }
        }
        if (batch.count() > 0) handOver();
        workers.finish(write);
    } catch (const dao::DaoError& e) {
        file.cancelWriting();
        return ExportOutcome{ExportOutcome::Status::Failed, 0, 0, e.description()};
    } catch (const std::runtime_error& e) {
        file.cancelWriting();
        return ExportOutcome{
            ExportOutcome::Status::Failed, 0, 0,
            QStringLiteral("ファイルに書き込めません。\n") + QString::fromStdString(e.what())};
    }
    if (!file.commit()) {
        outcome.message = QStringLiteral("ファイルに書き込めません。\n") + file.errorString();
        return outcome;
    }
    outcome.status = ExportOutcome::Status::Written;
    for (const auto& w : writers) outcome.unmappable += w->encoder.unmappable();
    if (progress) progress(outcome.records, outcome.records);
    return outcome;
}

}  // namespace exchange
