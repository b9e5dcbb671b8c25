// Import and export of 100,000 records: a word list as CSV and as the note format with
// HTML, read into a new set; a generated set written out as CSV and as the note format.
// Besides the time, each run reports the process's peak resident memory during the
// operation (VmHWM, reset before it), to show that the file is streamed.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <string>

#include "common/GeneratedData.h"
#include "common/ProgramData.h"
#include "exchange/Exchange.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

constexpr int kRows = 100000;

QString tempPath(const QString& name) {
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/" + name;
}

// A word list like a user's: Japanese words and readings, English meanings, some with
// commas, quotes and line breaks, so that a fair share of fields is quoted.
QString wordList(const QString& name, bool note) {
    const QString path = tempPath(name);
    if (QFile::exists(path)) return path;
    const QString kana =
        QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ");
    const QString kanji =
        QStringLiteral("日月火水木金土山川田人口目耳手足犬猫鳥魚花草木森林雨雪風");
    QString text =
        note ? QStringLiteral("#separator:tab\n#html:true\n#columns:単語\t読み\t意味\tコメント\n")
             : QStringLiteral("単語,読み,意味,コメント\n");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (int i = 0; i < kRows; ++i) {
        QString word, reading;
        for (int k = 0; k < 2 + i % 3; ++k) {
            word += kanji[(i * 7 + k * 13) % kanji.size()];
            reading += kana[(i * 11 + k * 5) % kana.size()];
        }
        word += QString::number(i);
        const QString meaning = QStringLiteral("meaning %1, sense %2").arg(i).arg(i % 7);
        const QString comment =
            i % 10 == 0 ? QStringLiteral("例文:\n\"%1\" を使う").arg(word) : QString();
        if (note) {
            const QString html =
                i % 2 ? QStringLiteral("<b>%1</b>").arg(word)
                      : QStringLiteral("<span style=\"color:#c00000\">%1</span>").arg(word);
            text += html + '\t' + reading + '\t' + meaning + '\t' +
                    QString(comment)
                        .replace('\n', QStringLiteral("<br>"))
                        .replace('"', QStringLiteral("&quot;")) +
                    '\n';
        } else {
            text += word + ',' + reading + ",\"" + meaning + "\"," +
                    (comment.isEmpty() ? QString()
                                       : '"' + QString(comment).replace('"', "\"\"") + '"') +
                    '\n';
        }
        if (text.size() > 1 << 20) {
            f.write(text.toUtf8());
            text.clear();
        }
    }
    f.write(text.toUtf8());
    return path;
}

long statusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
    return 0;
}
// Peak resident memory counts the pages of the memory-mapped database file too; the
// process's own memory (RssAnon) is sampled at every progress report.
long peakKiB() {
    return statusKiB("VmHWM:");
}
long anonKiB() {
    return statusKiB("RssAnon:");
}
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void importInto(benchmark::State& state, const QString& file) {
    long peak = 0, anon = 0;
    const auto sample = [&anon](qint64, qint64) {
        anon = std::max(anon, anonKiB());
        return true;
    };
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        QFile::copy(KENVORA_TEMPLATE_DB, dir.filePath("Kenvora.mdb"));
        QFile::setPermissions(dir.filePath("Kenvora.mdb"), QFile::ReadOwner | QFile::WriteOwner);
        bench::openProgramData(dir.path());
        QString message;
        exchange::ImportTarget target;
        target.newSet = exchange::newSetInputs(QStringLiteral("bench"), {}, &message);
        const exchange::ImportSettings settings = exchange::probeFile(file).settings;
        resetPeak();
        state.ResumeTiming();
        const exchange::ImportOutcome outcome =
            exchange::ImportIntoDataBase(settings, target, sample);
        state.PauseTiming();
        peak = std::max(peak, peakKiB());
        if (outcome.stored != kRows) state.SkipWithError(outcome.message.toUtf8().constData());
        shell::closeDataStore();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
    state.counters["anon_MiB"] = static_cast<double>(anon) / 1024;
    state.counters["file_MiB"] = static_cast<double>(QFile(file).size()) / (1 << 20);
}

void Import_100k_Csv(benchmark::State& state) {
    importInto(state, wordList(QStringLiteral("kenvora-bench-words-100k.csv"), false));
}
void Import_100k_NoteHtml(benchmark::State& state) {
    importInto(state, wordList(QStringLiteral("kenvora-bench-words-100k.txt"), true));
}

void exportAs(benchmark::State& state, exchange::ExportFormat format) {
    const QString folder = benchdata::generatedFolder("kenvora-bench-window-1x100k", 1, kRows);
    bench::openProgramData(folder);
    exchange::ExportSettings s;
    s.path = tempPath(QStringLiteral("kenvora-bench-export.out"));
    s.format = format;
    s.dbIDs = exchange::allDataBaseIDs();
    s.counters = s.rate = s.dates = true;
    long peak = 0, anon = 0;
    const auto sample = [&anon](qint64, qint64) {
        anon = std::max(anon, anonKiB());
        return true;
    };
    for (auto _ : state) {
        resetPeak();
        const exchange::ExportOutcome outcome = exchange::ExportFromDataBase(s, sample);
        peak = std::max(peak, peakKiB());
        if (outcome.records != kRows) state.SkipWithError("wrong record count");
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
    state.counters["anon_MiB"] = static_cast<double>(anon) / 1024;
    state.counters["file_MiB"] = static_cast<double>(QFile(s.path).size()) / (1 << 20);
    shell::closeDataStore();
}

void Export_100k_CsvUtf8(benchmark::State& state) {
    exportAs(state, exchange::ExportFormat::CsvUtf8);
}
void Export_100k_CsvCp932(benchmark::State& state) {
    exportAs(state, exchange::ExportFormat::CsvCp932);
}
void Export_100k_NoteHtml(benchmark::State& state) {
    exportAs(state, exchange::ExportFormat::Note);
}

BENCHMARK(Import_100k_Csv)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(Import_100k_NoteHtml)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime();
BENCHMARK(Export_100k_CsvUtf8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime();
BENCHMARK(Export_100k_CsvCp932)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime();
BENCHMARK(Export_100k_NoteHtml)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
