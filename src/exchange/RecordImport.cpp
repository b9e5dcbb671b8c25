#include "exchange/RecordImport.h"

#include <QDate>
#include <QTime>

#include <ctime>

#include "exchange/HtmlRichText.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/richtext/RtfWriter.h"

namespace exchange {

namespace {

const char* const kItemColumns[] = {"項目1", "項目2", "項目3", "コメント", "出展"};

// How many rows pass between two progress reports (and cancel checks).
constexpr int kProgressEvery = 256;

// A new record starts in this face and size, as in the record window.
richtext::Format newRecordFormat() {
    richtext::Format f;
    f.font = richtext::defaultFace();
    f.size = 10;
    return f;
}

}  // namespace

ItemFormats setItemFormats(dao::Database& db, std::int32_t dbID) {
    ItemFormats formats;
    formats.fill(newRecordFormat());
    const auto rs =
        db.OpenRecordset(QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
    rs->FindFirst(QStringLiteral("dbID =%1").arg(dbID));
    if (rs->NoMatch()) return formats;
    for (int t = 0; t < kTargetCount; ++t) {
        const QString item = QString::fromUtf8(kItemColumns[t]);
        const QString face = rs->value(item + QStringLiteral("フォント")).displayText();
        const dao::Variant size = rs->value(item + QStringLiteral("サイズ"));
        if (!face.isEmpty()) formats[t].font = face;
        if (!size.isNull() && size.toLong() > 0) formats[t].size = size.toLong();
    }
    return formats;
}

RecordTexts recordTexts(const std::array<QString, kTargetCount>& texts, bool html,
                        const ItemFormats& formats) {
    RecordTexts r;
    for (int t = 0; t < kTargetCount; ++t) {
        const richtext::Document doc =
            html ? htmlToDocument(texts[t], formats[t])
                 : richtext::Document::fromPlainText(texts[t], formats[t]);
        r.plain[t] = doc.plainText();
        r.rtf[t] = richtext::writeRtfString(doc);
    }
    return r;
}

ImportOutcome importRecords(dao::Database& db, const ImportSettings& settings,
                            const std::function<std::int32_t()>& prepareTarget,
                            std::int32_t& highestID, const Progress& progress) {
    ImportOutcome outcome;
    ImportReader reader(settings);
    if (!reader.open()) {
        outcome.message =
            reader.error()->line > 0 ? reader.error()->text() : reader.error()->message;
        return outcome;
    }
    std::int32_t id = highestID;
    int line = 0;
    db.BeginTrans();
    try {
        const std::int32_t dbID = prepareTarget();
        const ItemFormats formats = setItemFormats(db, dbID);
        const auto rs = db.OpenRecordset(
            QStringLiteral("select  * from データ where dbID = %1").arg(dbID), dao::dbOpenDynaset);
        const auto column = [&rs](const char* name) {
            return *rs->fieldIndex(QString::fromUtf8(name));
        };
        const int idColumn = column("ID"), dbIDColumn = column("dbID"),
                  dayColumn = column("登録日"), timeColumn = column("登録時刻"),
                  rightColumn = column("正解回数"), askedColumn = column("出題回数");
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
        // The time of day as the record window writes it, formatted once a second.
        std::time_t second = 0;
        QString now;
        ImportRow row;
        int sinceReport = 0;
        while (reader.next(row)) {
            line = row.line;
            if (progress && ++sinceReport >= kProgressEvery) {
                sinceReport = 0;
                if (!progress(reader.position(), reader.size())) {
                    db.Rollback();
                    return ImportOutcome{ImportOutcome::Status::Cancelled, 0, 0, {}};
                }
            }
            if (settings.skipEmptyItem1 && row.texts[0].trimmed().isEmpty()) {
                ++outcome.skipped;
                continue;
            }
            const RecordTexts texts = recordTexts(row.texts, settings.html, formats);
            if (const std::time_t t = std::time(nullptr); t != second) {
                second = t;
                now = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
            }
            rs->AddNew();
            rs->Fields(idColumn) = ++id;
            rs->Fields(dbIDColumn) = static_cast<int>(dbID);
            for (int t = 0; t < kTargetCount; ++t) {
                rs->Fields(2 + t) = texts.plain[t];
                rs->Fields(7 + t) = texts.rtf[t];
            }
            rs->Fields(dayColumn) = today;
            rs->Fields(timeColumn) = now;
            rs->Fields(rightColumn) = 0;
            rs->Fields(askedColumn) = 0;
            rs->Update();
            ++outcome.stored;
        }
        if (const auto error = reader.error()) {
            db.Rollback();
            outcome = ImportOutcome{ImportOutcome::Status::Failed, 0, 0, error->text()};
            return outcome;
        }
        db.CommitTrans();
    } catch (const dao::DaoError& e) {
        db.Rollback();
        const QString where = line > 0 ? QStringLiteral("%1 行目: ").arg(line) : QString();
        return ImportOutcome{ImportOutcome::Status::Failed, 0, 0, where + e.description()};
    } catch (...) {
        db.Rollback();
        throw;
    }
    highestID = id;
    outcome.status = ImportOutcome::Status::Stored;
    if (progress) progress(reader.size(), reader.size());
    return outcome;
}

}  // namespace exchange
