// The data layer against hand-written SQLite doing the same work, on files made by
// kenvora-tool gen: one set of 100,000 records, and 100,000 records in 20 sets.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/GeneratedData.h"
#include "platform/dao/Database.h"

namespace {

const char* kConnect = "MS Access;PWD=kWf4r8nz";

const QString& oneSetFile() {
    static const QString path = benchdata::generatedFolder("kenvora-bench", 1) + "/Kenvora.mdb";
    return path;
}
const QString& twentySetFile() {
    static const QString path = benchdata::generatedFolder("kenvora-bench", 20) + "/Kenvora.mdb";
    return path;
}

std::unique_ptr<dao::Database> openLayer(const QString& path) {
    return dao::OpenDatabase(path, false, false, kConnect);
}

sqlite3* openRaw(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    // The same connection settings as the layer, so that the ratio compares the queries.
    sqlite3_exec(
        db, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY",
        nullptr, nullptr, nullptr);
    return db;
}

// Keys in order, then the first row by key: what a dynaset costs, written by hand.
void rawKeysetThenRow(sqlite3* db, const char* keysSql, const char* rowSql,
                      benchmark::State& state) {
    std::vector<sqlite3_int64> keys;
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, keysSql, -1, &q, nullptr);
    while (sqlite3_step(q) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(q, 0));
    sqlite3_finalize(q);
    if (keys.empty()) state.SkipWithError("no rows");
    sqlite3_prepare_v2(db, rowSql, -1, &q, nullptr);
    sqlite3_bind_int64(q, 1, keys.empty() ? 0 : keys[0]);
    if (sqlite3_step(q) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(q); ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(q, c));
    sqlite3_finalize(q);
}

void readAllFields(dao::Recordset& rs) {
    for (int i = 0; i < rs.FieldCount(); ++i) benchmark::DoNotOptimize(rs.Fields(i).Value());
}

const QString kRecordWindow =
    "select  * from データ where dbID = 1 ORDER BY データ.登録日 ASC  ,データ.登録時刻 ASC";

void Dynaset_Open_Layer(benchmark::State& state) {
    auto db = openLayer(oneSetFile());
    for (auto _ : state) {
        auto rs = db->OpenRecordset(kRecordWindow, dao::dbOpenDynaset);
        readAllFields(*rs);
    }
}
void Dynaset_Open_Raw(benchmark::State& state) {
    sqlite3* db = openRaw(oneSetFile());
    for (auto _ : state)
        rawKeysetThenRow(db,
                         "SELECT rowid FROM データ WHERE dbID = 1 ORDER BY 登録日, 登録時刻, rowid",
                         "SELECT * FROM データ WHERE rowid = ?", state);
    sqlite3_close(db);
}

void MoveNext1000_Layer(benchmark::State& state) {
    auto db = openLayer(oneSetFile());
    auto rs = db->OpenRecordset(kRecordWindow, dao::dbOpenDynaset);
    for (auto _ : state) {
        rs->MoveFirst();
        for (int i = 0; i < 1000; ++i) {
            rs->MoveNext();
            readAllFields(*rs);
        }
    }
}
void MoveNext1000_Raw(benchmark::State& state) {
    sqlite3* db = openRaw(oneSetFile());
    std::vector<sqlite3_int64> keys;
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT rowid FROM データ WHERE dbID = 1 ORDER BY 登録日, 登録時刻, rowid LIMIT 1001",
        -1, &q, nullptr);
    while (sqlite3_step(q) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(q, 0));
    sqlite3_finalize(q);
    sqlite3_prepare_v2(db, "SELECT * FROM データ WHERE rowid = ?", -1, &q, nullptr);
    for (auto _ : state) {
        for (int i = 1; i <= 1000; ++i) {
            sqlite3_reset(q);
            sqlite3_bind_int64(q, 1, keys[i]);
            if (sqlite3_step(q) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(q); ++c) {
                    benchmark::DoNotOptimize(sqlite3_column_text(q, c));
                    benchmark::DoNotOptimize(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(q, c))));
                }
        }
    }
    sqlite3_finalize(q);
    sqlite3_close(db);
}

QString searchStatement() {
    QString s =
        "SELECT  データベース設定.データベース名, データ.項目１, データ.項目２, データ.項目３, "
        "format(データ.正解率,'##0.0') as 正解率, format(データ.登録日,'yyyy/mm/dd') as 登録日, "
        "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, "
        "データベース設定.項目１背景色, データベース設定.項目２背景色, "
        "データベース設定.項目３背景色, "
        "データベース設定.コメント背景色, データベース設定.出展背景色, "
        "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
        "データベース設定.正解率未満背景色, "
        "データ.ID, データ.コメント, データ.出展, データ.項目１RTF, "
        "データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF ,データ.dbID "
        ",データ.登録時刻 "
        "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (";
    for (int d = 1; d <= 20; ++d)
        s += QString(d == 1 ? "(" : "OR (") + "データ.dbID = " + QString::number(d) + ")";
    s += ") AND (((項目１ LIKE '*犬*') OR (項目２ LIKE '*犬*') OR (項目３ LIKE '*犬*') OR "
         "(コメント LIKE '*犬*') OR "
         "(出展 LIKE '*犬*'))) ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;";
    return s;
}

void Search_OneWord_Layer(benchmark::State& state) {
    auto db = openLayer(twentySetFile());
    const QString sql = searchStatement();
    for (auto _ : state) {
        auto rs = db->OpenRecordset(sql, dao::dbOpenDynaset);
        readAllFields(*rs);
        state.counters["hits"] = rs->RecordCount();
    }
}
void Search_OneWord_Raw(benchmark::State& state) {
    sqlite3* db = openRaw(twentySetFile());
    for (auto _ : state)
        rawKeysetThenRow(
            db,
            "SELECT d.rowid FROM データベース設定 s JOIN データ d ON s.dbID = d.dbID WHERE d.dbID "
            "BETWEEN 1 AND 20 AND (d.項目1 LIKE '%犬%' OR d.項目2 LIKE '%犬%' OR d.項目3 LIKE "
            "'%犬%' OR "
            "d.コメント LIKE '%犬%' OR d.出展 LIKE '%犬%') ORDER BY d.dbID, d.登録日, d.ID",
            "SELECT s.データベース名, d.*, printf('%.1f', d.正解率) FROM データ d JOIN "
            "データベース設定 s "
            "ON s.dbID = d.dbID WHERE d.rowid = ?",
            state);
    sqlite3_close(db);
}

QString testStatement() {
    return "SELECT  データベース設定.データベース名, データ.項目１, データ.項目２, データ.項目３, "
           "データ.正解回数, "
           "データ.出題回数, データ.正解率, format(データ.登録日,'yyyy/mm/dd') as 登録日, "
           "データ.dbID, "
           "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, "
           "データベース設定.文字隠用背景色, データベース設定.項目１背景色, "
           "データベース設定.項目２背景色, "
           "データベース設定.項目３背景色, データベース設定.コメント背景色, "
           "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
           "データベース設定.正解率未満背景色, "
           "データ.ID, データ.コメント, データ.出展, データ.項目１RTF, データ.登録時刻, "
           "データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF "
           "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE ("
           "(データ.dbID = 3) OR (データ.dbID = 7)) AND (正解率 >= 80) AND ((登録日 >= #2000/1/1#) "
           "AND "
           "(登録日 <= #2019/12/31#)) ORDER BY 正解率 ASC, 登録時刻 ASC ";
}

void Test_Example_Layer(benchmark::State& state) {
    auto db = openLayer(twentySetFile());
    for (auto _ : state) {
        auto rs = db->OpenRecordset(testStatement(), dao::dbOpenDynaset);
        readAllFields(*rs);
    }
}
void Test_Example_Raw(benchmark::State& state) {
    sqlite3* db = openRaw(twentySetFile());
    for (auto _ : state)
        rawKeysetThenRow(
            db,
            "SELECT d.rowid FROM データベース設定 s JOIN データ d ON s.dbID = d.dbID WHERE (d.dbID "
            "= 3 "
            "OR d.dbID = 7) AND d.正解率 >= 80 AND d.登録日 >= '2000-01-01' AND d.登録日 <= "
            "'2019-12-31' "
            "ORDER BY d.正解率, d.登録時刻",
            "SELECT s.データベース名, d.* FROM データ d JOIN データベース設定 s ON s.dbID = d.dbID "
            "WHERE d.rowid = ?",
            state);
    sqlite3_close(db);
}

void Statistics_20Sets_Layer(benchmark::State& state) {
    auto db = openLayer(twentySetFile());
    for (auto _ : state) {
        for (int d = 1; d <= 20; ++d) {
            auto rs = db->OpenRecordset(
                "SELECT format(MIN(データ.正解率),'##0.0'), format(MAX(データ.正解率),'##0.0'), "
                "FORMAT(IIF(SUM(データ.出題回数)=0, 0 , SUM(データ.正解回数) / "
                "SUM(データ.出題回数))*100,'##0.0') AS "
                "平均, COUNT(データ.正解率), SUM(データ.出題回数) FROM データ WHERE データ.dbID "
                "= " +
                QString::number(d));
            readAllFields(*rs);
            auto rs2 =
                db->OpenRecordset("SELECT COUNT(データ.出題回数) FROM データ WHERE データ.dbID = " +
                                  QString::number(d) + " AND データ.出題回数 = 0");
            readAllFields(*rs2);
        }
    }
}
void Statistics_20Sets_Raw(benchmark::State& state) {
    sqlite3* db = openRaw(twentySetFile());
    sqlite3_stmt* a = nullptr;
    sqlite3_stmt* b = nullptr;
    for (auto _ : state) {
        for (int d = 1; d <= 20; ++d) {
            sqlite3_prepare_v2(
                db,
                "SELECT printf('%.1f', MIN(正解率)), printf('%.1f', MAX(正解率)), printf('%.1f', "
                "CASE WHEN SUM(出題回数) = 0 THEN 0 ELSE 1.0 * SUM(正解回数) / SUM(出題回数) END * "
                "100), "
                "COUNT(正解率), SUM(出題回数) FROM データ WHERE dbID = ?",
                -1, &a, nullptr);
            sqlite3_bind_int(a, 1, d);
            if (sqlite3_step(a) == SQLITE_ROW)
                for (int c = 0; c < 5; ++c) benchmark::DoNotOptimize(sqlite3_column_text(a, c));
            sqlite3_finalize(a);
            sqlite3_prepare_v2(db,
                               "SELECT COUNT(出題回数) FROM データ WHERE dbID = ? AND 出題回数 = 0",
                               -1, &b, nullptr);
            sqlite3_bind_int(b, 1, d);
            if (sqlite3_step(b) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_int(b, 0));
            sqlite3_finalize(b);
        }
    }
    sqlite3_close(db);
}

// Keeps every run's time so that the layer/raw ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

BENCHMARK(Dynaset_Open_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(Dynaset_Open_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveNext1000_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveNext1000_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_OneWord_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_OneWord_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Test_Example_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(Test_Example_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics_20Sets_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics_20Sets_Raw)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    oneSetFile();
    twentySetFile();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-22s %12s %12s %8s\n", "operation", "layer ms", "raw ms", "ratio");
    for (const char* name :
         {"Dynaset_Open", "MoveNext1000", "Search_OneWord", "Test_Example", "Statistics_20Sets"}) {
        const std::string n(name);
        if (!reporter.times.count(n + "_Layer") || !reporter.times.count(n + "_Raw")) continue;
        const double layer = reporter.times[n + "_Layer"], raw = reporter.times[n + "_Raw"];
        std::printf("%-22s %12.2f %12.2f %8.2f\n", name, layer, raw, layer / raw);
    }
    benchmark::Shutdown();
    return 0;
}
