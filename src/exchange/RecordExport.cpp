#include "exchange/RecordExport.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "exchange/DelimitedText.h"
#include "exchange/HtmlRichText.h"
#include "exchange/TextEncoding.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/richtext/RtfReader.h"

namespace exchange {

namespace {

constexpr int kFlushAt = 256 * 1024;  // characters held before they go to the file
constexpr size_t kProgressEvery = 256;

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
    columns << QStringLiteral("正解回数") << QStringLiteral("出題回数") << QStringLiteral("正解率")
            << QStringLiteral("登録日") << QStringLiteral("登録時刻");
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

// A row as read. In the note format its item fields still hold RTF (or, for a record
// stored without RTF, plain text) until toHtml() turns them into HTML.
struct PendingRow {
    QStringList fields;
    const SetToWrite* set = nullptr;
    int firstItem = 0;
    std::array<bool, kTargetCount> plainOnly{};
};

// Item t's plain text of the current record, read on its own.
QString plainText(dao::Database& db, dao::Recordset& rs, int t) {
    const auto record = db.OpenRecordset(QStringLiteral("select %1 from データ where ID = %2")
                                             .arg(QString::fromUtf8(kPlainColumns[t]))
                                             .arg(rs.value(QStringLiteral("ID")).toLong()),
                                         dao::dbOpenDynaset);
    return record->RecordCount() > 0 ? record->Fields(0).Value().displayText() : QString();
}

PendingRow readRow(dao::Recordset& rs, const SetToWrite& set, const ExportSettings& s) {
    const ColumnIndexes& c = set.columns;
    const auto value = [&rs](int index) { return rs.Fields(index).Value(); };
    PendingRow row;
    row.set = &set;
    QStringList& fields = row.fields;
    if (s.setColumn) fields << set.name;
    row.firstItem = static_cast<int>(fields.size());
    for (int t = 0; t < kTargetCount; ++t) {
        if (c.rtf[t] < 0) {
            fields << value(c.plain[t]).displayText();
            continue;
        }
        QString text = value(c.rtf[t]).displayText();
        if (text.isEmpty()) {
            text = plainText(*set.db, rs, t);
            row.plainOnly[t] = true;
        }
        fields << text;
    }
    if (s.counters) fields << value(c.right).displayText() << value(c.asked).displayText();
    if (s.rate) {
        const dao::Variant rate = value(c.rate);
        fields << (rate.isNull() ? QString() : QString::number(rate.toDouble(), 'f', 1));
    }
    if (s.dates) {
        const dao::Variant day = value(c.day);
        const dao::Variant time = value(c.time);
        fields << (day.isNull() ? QString()
                                : day.toDateTime().date.toString(QStringLiteral("yyyy/MM/dd")))
               << (time.isNull() ? QString()
                                 : time.toDateTime().time.toString(QStringLiteral("HH:mm:ss")));
    }
    return row;
}

void toHtml(PendingRow& row) {
    for (int t = 0; t < kTargetCount; ++t) {
        QString& field = row.fields[row.firstItem + t];
        const richtext::Format& base = row.set->formats[t];
        const richtext::Document doc = row.plainOnly[t]
                                           ? richtext::Document::fromPlainText(field, base)
                                           : richtext::readRtf(QStringView(field));
        field = documentToHtml(doc, base);
    }
}

// RTF to HTML is the bulk of a note export and needs nothing but its row (the RTF reader
// keeps its converters per thread), so a batch is shared out among the cores.
void toHtmlInParallel(std::vector<PendingRow>& rows) {
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    const size_t chunk = (rows.size() + workers - 1) / workers;
    const auto convert = [&rows](size_t from, size_t to) {
        for (size_t i = from; i < to && i < rows.size(); ++i) toHtml(rows[i]);
    };
    std::vector<std::future<void>> others;
    for (size_t w = 1; w < workers && w * chunk < rows.size(); ++w)
        others.push_back(std::async(std::launch::async, convert, w * chunk, (w + 1) * chunk));
    convert(0, chunk);
    for (auto& f : others) f.get();
}

Encoding encodingOf(ExportFormat f) {
    return f == ExportFormat::CsvCp932 ? Encoding::Cp932 : Encoding::Utf8;
}

}  // namespace

ExportOutcome exportRecords(dao::Database& db, const ExportSettings& s, const Progress& progress) {
    ExportOutcome outcome;
    QSaveFile file(s.path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.message = QStringLiteral("ファイルに書き込めません。\n") + file.errorString();
        return outcome;
    }
    const bool csv = s.format == ExportFormat::CsvUtf8 || s.format == ExportFormat::CsvCp932;
    const QChar separator = csv ? QChar(',') : QChar('\t');
    const QString lineEnd = csv ? QStringLiteral("\r\n") : QStringLiteral("\n");
    TextEncoder encoder(encodingOf(s.format));
    QString pending;
    const auto write = [&] {
        if (file.write(encoder.encode(pending)) < 0)
            throw std::runtime_error(file.errorString().toStdString());
        pending.clear();
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
        if (s.format == ExportFormat::CsvUtf8) file.write(encoder.byteOrderMark());
        const QStringList header = headerNames(s);
        if (s.format == ExportFormat::Note) {
            pending += QStringLiteral("#separator:tab\n#html:true\n#columns:") +
                       header.join(QChar('\t')) + QChar('\n');
            if (s.setColumn) pending += QStringLiteral("#deck column:1\n");
        } else {
            appendDelimitedRow(header, separator, lineEnd, pending);
        }
        // While one batch is turned into HTML, the next is read from the database.
        std::vector<PendingRow> batch, converting;
        batch.reserve(kProgressEvery);
        std::future<void> conversion;
        const auto writeConverted = [&] {
            if (conversion.valid()) conversion.get();
            for (const PendingRow& row : converting)
                appendDelimitedRow(row.fields, separator, lineEnd, pending);
            converting.clear();
            if (pending.size() >= kFlushAt) write();
        };
        const auto handOver = [&] {
            writeConverted();
            converting.swap(batch);
            if (s.format == ExportFormat::Note)
                conversion =
                    std::async(std::launch::async, [&converting] { toHtmlInParallel(converting); });
        };
        for (SetToWrite& set : sets) {
            dao::Recordset& rs = *set.records;
            if (rs.RecordCount() == 0) continue;
            for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
                batch.push_back(readRow(rs, set, s));
                ++outcome.records;
                if (batch.size() < kProgressEvery) continue;
                handOver();
                if (progress && !progress(outcome.records, total)) {
                    if (conversion.valid()) conversion.get();
                    file.cancelWriting();
                    return ExportOutcome{ExportOutcome::Status::Cancelled, 0, 0, {}};
                }
            }
        }
        handOver();
        writeConverted();
        write();
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
    outcome.unmappable = encoder.unmappable();
    if (progress) progress(outcome.records, outcome.records);
    return outcome;
}

}  // namespace exchange
