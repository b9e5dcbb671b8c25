// The search window over 100,000 records in 20 sets (KENVORA_BENCH_RECORDS), offscreen: pressing
// "検　索" until the grid has painted, scrolling the list, and moving through the detail view. A
// hand-written SQLite query for the one-word search is the baseline for the first figure.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <vector>

#include "common/GeneratedData.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/ScriptedDialogs.h"
#include "search/SearchStatement.h"
#include "search/frmSearch.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

const QString& folder() {
    static const QString f = benchdata::generatedFolder("kenvora-bench", 20);
    return f;
}

// The database opened into the main module and the window shown, as the program has them.
struct Window {
    Window() {
        shell::resetMainModule();
        shell::openDataStore(folder());
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        shell::mainModule().settingsRecordset.reset();
        w = std::make_unique<frmSearch>();
        w->show();
        QApplication::processEvents();
        w->cmdSearch_Click(1);  // every set
    }
    ~Window() {
        w.reset();
        shell::closeDataStore();
        shell::resetMainModule();
    }
    // Press "検　索" and wait for the list to be painted.
    void search() {
        w->cmdSearch_Click(0);
        w->MSHFlexGrid1->viewport()->repaint();
    }
    void words(const QString& text) {
        w->chkWord->setChecked(true);
        w->txtSearch[0]->setText(text);
    }
    void everyRate() {
        w->chkJustAnswerRate->setChecked(true);
        w->optPoint[0]->setChecked(true);
        w->cmbPoints->setEditText("0");
    }

    ui::ScopedScriptedDialogs boxes;
    std::unique_ptr<frmSearch> w;
};

int hits(const Window& win) {
    return win.w->MSHFlexGrid1->rows() - 1;
}

// One Japanese character, two, a Latin word (each in about 4% of the generated records), and
// a rarer two-character word (about 0.04%).
const char* const kOneWords[] = {"犬", "学校", "dog", "犬猫"};

void Search_OneWord_AllSets(benchmark::State& state) {
    Window win;
    win.words(QString::fromUtf8(kOneWords[state.range(0)]));
    for (auto _ : state) win.search();
    state.counters["hits"] = hits(win);
}

// The raw query's keys in the same order and the first row: the least any search could cost.
void Search_OneWord_RawSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2((folder() + "/Kenvora.mdb").toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                    nullptr);
    sqlite3_exec(db, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -65536", nullptr, nullptr,
                 nullptr);
    int count = 0;
    for (auto _ : state) {
        std::vector<sqlite3_int64> keys;
        sqlite3_stmt* q = nullptr;
        sqlite3_prepare_v2(
            db,
            "SELECT d.rowid, s.rowid FROM データベース設定 s JOIN データ d ON s.dbID = d.dbID "
            "WHERE d.dbID BETWEEN 1 AND 20 AND (instr(d.項目1, '犬') OR instr(d.項目2, '犬') OR "
            "instr(d.項目3, '犬') OR instr(d.コメント, '犬') OR instr(d.出展, '犬')) "
            "ORDER BY d.dbID, d.登録日, d.ID",
            -1, &q, nullptr);
        while (sqlite3_step(q) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(q, 0));
        sqlite3_finalize(q);
        count = static_cast<int>(keys.size());
        benchmark::DoNotOptimize(keys.data());
    }
    state.counters["hits"] = count;
    sqlite3_close(db);
}

void Search_100kHits_Rate(benchmark::State& state) {
    Window win;
    win.everyRate();
    for (auto _ : state) win.search();
    state.counters["hits"] = hits(win);
}

// Every record holds " / " in its third item: 100,000 hits that all pass through LIKE.
void Search_100kHits_Word(benchmark::State& state) {
    Window win;
    win.words("/");
    for (auto _ : state) win.search();
    state.counters["hits"] = hits(win);
}

// The result set alone for the same search: what the grid and the window add is the rest.
void Search_100kHits_ResultSetOnly(benchmark::State& state) {
    Window win;
    win.everyRate();
    search::SearchConditions c;
    for (int dbID = 1; dbID <= 20; ++dbID) c.dbIDs.push_back(dbID);
    c.rateCondition = true;
    c.rateText = "0";
    const QString sql = search::buildSearchStatement(c);
    for (auto _ : state) {
        auto rs = shell::mainModule().database->OpenRecordset(sql, dao::dbOpenDynaset);
        benchmark::DoNotOptimize(rs->value("ID"));
    }
}

// A jump to another part of a 100,000-row list and its paint.
void List_100kHits_ScrollJump(benchmark::State& state) {
    Window win;
    win.everyRate();
    win.search();
    QScrollBar* bar = win.w->MSHFlexGrid1->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ * 7919) % bar->maximum());
        win.w->MSHFlexGrid1->viewport()->repaint();
    }
}

// A double-click on a row far down a 100,000-row list: the record is found by its ID and
// the detail view painted.
void List_100kHits_DoubleClick(benchmark::State& state) {
    Window win;
    win.everyRate();
    win.search();
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        win.w->cmdSearch_Click(3);
        win.w->MSHFlexGrid1->setRow(1 + (50000 + step++ * 7919) % hits(win));
        state.ResumeTiming();
        win.w->MSHFlexGrid1_DblClick();
        win.w->repaint();
    }
}

// "＞" in the detail view until the record has painted; arg 1: after an edit, so every move
// writes the shown record back first.
void Detail_MoveNext(benchmark::State& state) {
    Window win;
    win.everyRate();
    win.search();
    win.w->cmdSearch_Click(4);
    if (state.range(0) == 1) win.w->txtData[3]->setText(win.w->txtData[3]->Text());
    for (auto _ : state) {
        win.w->cmdSearch_Click(7);
        win.w->repaint();
    }
    state.counters["edited"] = win.w->edited();
}

}  // namespace

BENCHMARK(Search_OneWord_AllSets)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_OneWord_RawSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_100kHits_Rate)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_100kHits_ResultSetOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_100kHits_Word)->Unit(benchmark::kMillisecond);
BENCHMARK(List_100kHits_ScrollJump)->Unit(benchmark::kMillisecond);
BENCHMARK(List_100kHits_DoubleClick)->Unit(benchmark::kMillisecond);
BENCHMARK(Detail_MoveNext)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    folder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
