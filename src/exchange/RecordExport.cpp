#include "exchange/RecordExport.h"

#include <QSaveFile>

#include <memory>
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
constexpr int kProgressEvery = 256;

const char* const kPlainColumns[] = {"項目1", "項目2", "項目3", "コメント", "出展"};
const char* const kRtfColumns[] = {"項目1RTF", "項目2RTF", "項目3RTF", "コメントRTF", "出展RTF"};

struct SetToWrite {
    std::int32_t dbID = 0;
    QString name;
    ItemFormats formats;
    std::unique_ptr<dao::Recordset> records;
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

QStringList rowFields(dao::Recordset& rs, const SetToWrite& set, const ExportSettings& s) {
    QStringList fields;
    if (s.setColumn) fields << set.name;
    for (int t = 0; t < kTargetCount; ++t) {
        if (s.format == ExportFormat::Note) {
            const QString rtf = rs.value(QString::fromUtf8(kRtfColumns[t])).displayText();
            // A record stored without RTF still has its plain text.
            const richtext::Document doc =
                rtf.isEmpty() ? richtext::Document::fromPlainText(
                                    rs.value(QString::fromUtf8(kPlainColumns[t])).displayText(),
                                    set.formats[t])
                              : richtext::readRtf(QStringView(rtf));
            fields << documentToHtml(doc, set.formats[t]);
        } else {
            fields << rs.value(QString::fromUtf8(kPlainColumns[t])).displayText();
        }
    }
    if (s.counters)
        fields << rs.value(QStringLiteral("正解回数")).displayText()
               << rs.value(QStringLiteral("出題回数")).displayText();
    if (s.rate) {
        const dao::Variant rate = rs.value(QStringLiteral("正解率"));
        fields << (rate.isNull() ? QString() : QString::number(rate.toDouble(), 'f', 1));
    }
    if (s.dates) {
        const dao::Variant day = rs.value(QStringLiteral("登録日"));
        const dao::Variant time = rs.value(QStringLiteral("登録時刻"));
        fields << (day.isNull() ? QString()
                                : day.toDateTime().date.toString(QStringLiteral("yyyy/MM/dd")))
               << (time.isNull() ? QString()
                                 : time.toDateTime().time.toString(QStringLiteral("HH:mm:ss")));
    }
    return fields;
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
    try {
        std::vector<SetToWrite> sets;
        qint64 total = 0;
        for (const std::int32_t dbID : s.dbIDs) {
            SetToWrite set;
            set.dbID = dbID;
            set.name = setName(db, dbID);
            set.formats = setItemFormats(db, dbID);
            set.records = db.OpenRecordset(
                QStringLiteral("select  * from データ where dbID = %1 ORDER BY データ.登録日 ASC "
                               ",データ.登録時刻 ASC")
                    .arg(dbID),
                dao::dbOpenDynaset);
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
        int sinceReport = 0;
        for (SetToWrite& set : sets) {
            dao::Recordset& rs = *set.records;
            if (rs.RecordCount() == 0) continue;
            for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
                appendDelimitedRow(rowFields(rs, set, s), separator, lineEnd, pending);
                ++outcome.records;
                if (pending.size() >= kFlushAt) write();
                if (progress && ++sinceReport >= kProgressEvery) {
                    sinceReport = 0;
                    if (!progress(outcome.records, total)) {
                        file.cancelWriting();
                        return ExportOutcome{ExportOutcome::Status::Cancelled, 0, 0, {}};
                    }
                }
            }
        }
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
