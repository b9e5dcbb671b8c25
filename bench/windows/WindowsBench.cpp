// The record, test and statistics windows on large sets, offscreen: what a user waits for
// when opening a window, moving, saving, starting a test and answering.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include "common/GeneratedData.h"
#include "common/ProgramData.h"
#include "drill/frmJustAnswerRate.h"
#include "drill/frmTest.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/SingleInstance.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "sets/DataBaseSets.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

namespace {

// The database opened into the main module with an MDI area, as the program has it.
struct Program {
    explicit Program(const QString& folder) {
        bench::openProgramData(folder);
        main.setCentralWidget(area = new QMdiArea);
        main.resize(1200, 900);
        main.show();
        records::setRecordWindowArea(area);
    }
    ~Program() {
        shell::mainModule().closing = true;
        for (QMdiSubWindow* sub : area->subWindowList()) delete sub;
        records::setRecordWindowArea(nullptr);
        shell::closeDataStore();
    }
    frmMDIChild* open(int dbID) {
        records::OpenDataBaseFromMenu(dbID, QStringLiteral("bench"));
        frmMDIChild* w =
            records::windowOfSlot(static_cast<int>(shell::mainModule().childSettings.size()) - 1);
        w->Form_Activate();
        return w;
    }
    QMainWindow main;
    QMdiArea* area = nullptr;
    ui::ScopedScriptedDialogs boxes;
};

const QString& twentySets() {
    static const QString folder = benchdata::generatedFolder("kenvora-bench", 20);
    return folder;
}
// Up to 100,000 records all in one set; beyond, the twenty sets (50,000 records each at a
// million), as the windows of a large file show them.
const QString& oneBigSet() {
    static const QString folder = benchdata::records() <= 100000
                                      ? benchdata::generatedFolder("kenvora-bench", 1)
                                      : twentySets();
    return folder;
}

// The whole start-up sequence on the twenty-set file, until the main window is shown.
void StartUp_MainWindowShown(benchmark::State& state) {
    shell::writeFile0(twentySets());
    for (auto _ : state) {
        ui::SingleInstanceGuard guard(QDir::tempPath() + "/kenvora-bench-instance.lock");
        auto splash = std::make_unique<shell::frmSplash>(guard);
        const bool running = splash->Form_Load() == shell::StartUpOutcome::Running;
        if (!running || !splash->mainWindow()->isVisible()) state.SkipWithError("no main window");
        state.PauseTiming();
        splash.reset();
        shell::closeDataStore();
        shell::resetMainModule();
        state.ResumeTiming();
    }
}

void RecordWindow_OpenShowsFirstRecord(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        {
            Program program(oneBigSet());
            state.ResumeTiming();
            frmMDIChild* w = program.open(1);
            benchmark::DoNotOptimize(w->txtData[0]->Text());
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

void RecordWindow_NextRecord(benchmark::State& state) {
    Program program(oneBigSet());
    frmMDIChild* w = program.open(1);
    for (auto _ : state) {
        w->cmdMove_Click(2);
        benchmark::DoNotOptimize(w->txtData[0]->Text());
    }
}

void RecordWindow_SaveEditedRecord(benchmark::State& state) {
    Program program(oneBigSet());
    frmMDIChild* w = program.open(1);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w->txtData[2]->setText(QStringLiteral("edited %1").arg(++n));
        state.ResumeTiming();
        records::SaveCurrentRecord(w->slot());
    }
}

frmTest* startTest(frmTest& w, bool random) {
    for (int i = 0; i < w.lstDatabase->count(); ++i) w.lstDatabase->item(i)->setSelected(true);
    w.chkTest[0]->setChecked(!random);
    w.chkTest[6]->setChecked(random);
    w.chkTest[7]->setChecked(random);
    w.cmbPoints->setEditText(QStringLiteral("0"));
    w.cmdTest_Click(0);
    return &w;
}

void Test_StartOver100kRecords(benchmark::State& state) {
    Program program(oneBigSet());
    frmTest w;
    for (auto _ : state) startTest(w, state.range(0) != 0);
}

void Test_Answer(benchmark::State& state) {
    Program program(oneBigSet());
    frmTest w;
    startTest(w, state.range(0) != 0);
    for (auto _ : state) w.cmdTest_Click(4);
}

// Deleting a set of 100,000 records: its window, its records and its row.
void Sets_Delete100kRecordSet(benchmark::State& state) {
    const QString scratch = QDir::tempPath() + "/kenvora-bench-delete";
    for (auto _ : state) {
        state.PauseTiming();
        QDir(scratch).removeRecursively();
        QDir().mkpath(scratch);
        QFile::copy(oneBigSet() + "/Kenvora.mdb", scratch + "/Kenvora.mdb");
        {
            Program program(scratch);
            program.open(1);
            shell::mainModule().closing = false;
            state.ResumeTiming();
            sets::DeleteDataBase(1);
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    QDir(scratch).removeRecursively();
}

void Statistics_20SetsOf5000(benchmark::State& state) {
    Program program(twentySets());
    for (auto _ : state) {
        frmJustAnswerRate w;
        benchmark::DoNotOptimize(&w);
    }
}

}  // namespace

BENCHMARK(StartUp_MainWindowShown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RecordWindow_OpenShowsFirstRecord)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RecordWindow_NextRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordWindow_SaveEditedRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(Test_StartOver100kRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Test_Answer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Sets_Delete100kRecordSet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Statistics_20SetsOf5000)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QDir::tempPath() + "/kenvora-bench-settings");
    benchmark::Initialize(&argc, argv);
    oneBigSet();
    twentySets();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
