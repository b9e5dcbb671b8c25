// Packs and unpacks a 50 MB database with our archiver and with the reference tools in the
// same run: jlha -lh5 for the archive size, gzip -6 for the packing time, lhasa x for the
// unpacking time; our ZIP and CAB backups against zip -6 and gcab -z. Prints the figures
// and the targets at the end.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "SampleDatabase.h"
#include "platform/lzh/Archives.h"
#include "platform/lzh/Command.h"
#include "platform/lzh/Lh5Encoder.h"
#include "platform/lzh/Reader.h"

namespace {

constexpr qint64 kDatabaseBytes = 50ll << 20;

struct Setup {
    QTemporaryDir dir;
    QString database;
    QString origin;  // how the database was made
    QString ours;    // our archive of it
    QString jlha;    // jlha's
    qint64 oursSize = 0;
    qint64 jlhaSize = 0;
    qint64 gzipSize = 0;
    std::map<std::string, qint64> sizes;  // ZIP and CAB archives by maker
};

Setup* setup = nullptr;
std::map<std::string, std::vector<double>> seconds;

QString path(const QString& name) {
    return setup->dir.filePath(name);
}

// Exit code of a program, its output thrown away; -1 if it would not run.
int run(const QString& program, const QStringList& args, const QString& folder = {},
        const QString& outputFile = {}) {
    QProcess p;
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.setStandardOutputFile(outputFile.isEmpty() ? QProcess::nullDevice() : outputFile);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(600000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The database from `kenvora-tool gen`, scaled to 50 MB from a small probe run.
bool generateWithTool(const QString& target) {
    const QString tool = QStringLiteral(KENVORA_TOOL);
    if (tool.isEmpty() || !QFileInfo::exists(tool)) return false;
    const QString probe = path(QStringLiteral("probe.mdb"));
    if (run(tool, {QStringLiteral("mkdb"), probe}) != 0) return false;
    const qint64 empty = QFileInfo(probe).size();
    constexpr int kProbeRecords = 2000;
    if (run(tool, {QStringLiteral("gen"), probe, QStringLiteral("--sets"), QStringLiteral("10"),
                   QStringLiteral("--records"), QString::number(kProbeRecords)}) != 0)
        return false;
    const double perRecord = double(QFileInfo(probe).size() - empty) / kProbeRecords;
    QFile::remove(probe);
    if (perRecord <= 0) return false;
    const int records = int((kDatabaseBytes - empty) / perRecord) + 1;
    return run(tool, {QStringLiteral("mkdb"), target}) == 0 &&
           run(tool, {QStringLiteral("gen"), target, QStringLiteral("--sets"), QStringLiteral("10"),
                      QStringLiteral("--records"), QString::number(records)}) == 0 &&
           QFileInfo(target).size() > kDatabaseBytes * 9 / 10;
}

bool prepare() {
    setup = new Setup;
    setup->database = path(QStringLiteral("Kenvora.mdb"));
    // KENVORA_BENCH_OWN_DATA=1 measures on the benchmark's own database instead.
    if (!qEnvironmentVariableIsSet("KENVORA_BENCH_OWN_DATA") && generateWithTool(setup->database)) {
        setup->origin = QStringLiteral("kenvora-tool gen");
    } else {
        QString error;
        if (!makeSampleDatabase(setup->database, QStringLiteral(KENVORA_SCHEMA_SQL), kDatabaseBytes,
                                &error)) {
            std::fprintf(stderr, "cannot make the database: %s\n", qPrintable(error));
            return false;
        }
        setup->origin = QStringLiteral("the benchmark's own generator (SampleDatabase.cpp)");
    }

    setup->ours = path(QStringLiteral("ours.lzh"));
    if (lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"").arg(setup->ours, setup->database)) != 0)
        return false;
    setup->oursSize = QFileInfo(setup->ours).size();

    // jlha packs relative names from the working folder; a2o5: level-2 headers, -lh5-.
    setup->jlha = path(QStringLiteral("jlha.lzh"));
    if (run(QStringLiteral("jlha"),
            {QStringLiteral("a2o5"), setup->jlha, QStringLiteral("Kenvora.mdb")},
            setup->dir.path()) != 0)
        std::fprintf(stderr, "jlha failed; no size comparison\n");
    setup->jlhaSize = QFileInfo(setup->jlha).size();

    const QString gz = path(QStringLiteral("Kenvora.mdb.gz"));
    run(QStringLiteral("gzip"), {QStringLiteral("-6"), QStringLiteral("-c"), setup->database}, {},
        gz);
    setup->gzipSize = QFileInfo(gz).size();
    QFile::remove(gz);
    return true;
}

void record(benchmark::State& state, const char* name, double s) {
    state.SetIterationTime(s);
    seconds[name].push_back(s);
}

double median(const char* name) {
    std::vector<double> v = seconds[name];
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Our encoder alone, reading the file as gzip does and dropping the output as gzip's is.
double packOurs() {
    std::vector<char> buffer(1 << 20);
    QElapsedTimer t;
    t.start();
    QFile in(setup->database);
    in.open(QIODevice::ReadOnly);
    lzh::Lh5Encoder encoder([](const std::uint8_t*, std::size_t) { return true; });
    for (qint64 n; (n = in.read(buffer.data(), qint64(buffer.size()))) > 0;)
        encoder.write(buffer.data(), std::size_t(n));
    encoder.finish();
    return t.nsecsElapsed() / 1e9;
}

double packGzip() {
    QElapsedTimer t;
    t.start();
    run(QStringLiteral("gzip"), {QStringLiteral("-6"), QStringLiteral("-c"), setup->database});
    return t.nsecsElapsed() / 1e9;
}

// Ours and gzip -6 take turns, so a busy moment on the machine falls on both alike.
void Pack(benchmark::State& state) {
    for (auto _ : state) {
        const double ours = packOurs();
        const double gzip = packGzip();
        record(state, "pack ours", ours);
        seconds["pack gzip -6"].push_back(gzip);
        state.counters["gzip_ms"] = gzip * 1000;
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(setup->database).size());
}

// The whole backup command: pack, read back, sync and rename into place.
void BackupCommand(benchmark::State& state) {
    const QString archive = path(QStringLiteral("backup.lzh"));
    for (auto _ : state) {
        QFile::remove(archive);
        QElapsedTimer t;
        t.start();
        lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"").arg(archive, setup->database));
        record(state, "backup command", t.nsecsElapsed() / 1e9);
    }
}

// Unpacking through liblhasa into a file, as `lhasa x` does (no sync).
double unpackOurs() {
    const QString out = path(QStringLiteral("unpacked.mdb"));
    QElapsedTimer t;
    t.start();
    lzh::FileSource source;
    source.open(setup->ours);
    lzh::Reader reader(source);
    lzh::Entry entry;
    bool atEnd = false;
    reader.next(entry, atEnd);
    QFile file(out);
    file.open(QIODevice::WriteOnly);
    const int rc = reader.read([&](const std::uint8_t* p, std::size_t n) {
        return file.write(reinterpret_cast<const char*>(p), qint64(n)) == qint64(n) ? 0 : 1;
    });
    file.close();
    return rc == 0 ? t.nsecsElapsed() / 1e9 : -1;
}

double unpackLhasa() {
    const QString folder = path(QStringLiteral("lhasa"));
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Kenvora.mdb"));
    QElapsedTimer t;
    t.start();
    const int rc = run(QStringLiteral("lhasa"), {QStringLiteral("xfw=") + folder, setup->ours});
    return rc == 0 ? t.nsecsElapsed() / 1e9 : -1;
}

void Unpack(benchmark::State& state) {
    for (auto _ : state) {
        const double ours = unpackOurs();
        const double lhasa = unpackLhasa();
        if (ours < 0 || lhasa < 0) {
            state.SkipWithError("unpacking failed");
            break;
        }
        record(state, "unpack ours", ours);
        seconds["unpack lhasa x"].push_back(lhasa);
        state.counters["lhasa_ms"] = lhasa * 1000;
    }
}

// The whole restore command: unpack to a work file, check, sync and rename into place.
void RestoreCommand(benchmark::State& state) {
    const QString folder = path(QStringLiteral("restore"));
    QDir().mkpath(folder);
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        lzh::runCommand(
            QStringLiteral("e \"%1\" \"%2/\" Kenvora.mdb -c -y").arg(setup->ours, folder));
        record(state, "restore command", t.nsecsElapsed() / 1e9);
    }
}

double secondsOf(const std::function<bool()>& work) {
    QElapsedTimer t;
    t.start();
    return work() ? t.nsecsElapsed() / 1e9 : -1;
}

// Our ZIP and CAB backups (pack, read back and compare, sync, rename) against zip -6 and
// gcab -z making the same archive, taking turns.
void ZipAndCabPack(benchmark::State& state) {
    const struct {
        const char* name;
        QString archive;
        std::function<bool()> make;
    } makers[] = {
        {"zip ours", path("ours.zip"),
         [] { return archives::packZip(path("ours.zip"), setup->database, 0644) == 0; }},
        {"zip -6", path("zip6.zip"),
         [] {
             return run(QStringLiteral("zip"), {"-q", "-6", path("zip6.zip"), "Kenvora.mdb"},
                        setup->dir.path()) == 0;
         }},
        {"cab ours", path("ours.cab"),
         [] { return archives::packCab(path("ours.cab"), setup->database, 0644) == 0; }},
        {"gcab -z", path("gcab.cab"),
         [] {
             return run(QStringLiteral("gcab"), {"-c", "-z", "-n", path("gcab.cab"), "Kenvora.mdb"},
                        setup->dir.path()) == 0;
         }},
    };
    for (auto _ : state) {
        for (const auto& m : makers) {
            QFile::remove(m.archive);
            const double s = secondsOf(m.make);
            if (s < 0) {
                state.SkipWithError(m.name);
                return;
            }
            seconds[m.name].push_back(s);
            setup->sizes[m.name] = QFileInfo(m.archive).size();
        }
        state.SetIterationTime(seconds["zip ours"].back());
    }
}

// Our restore path (extract to a work file, check, rename) against unzip and gcab -x.
void ZipAndCabUnpack(benchmark::State& state) {
    const QString out = path(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString target = out + QStringLiteral("/Kenvora.mdb");
    const struct {
        const char* name;
        std::function<bool()> unpack;
    } unpackers[] = {
        {"unzip ours",
         [&] { return archives::unpackZip(path("ours.zip"), "Kenvora.mdb", target) == 0; }},
        {"unzip",
         [&] {
             return run("unzip", {"-o", "-q", path("ours.zip"), "-d", out}) == 0;
         }},
        {"uncab ours",
         [&] { return archives::unpackCab(path("ours.cab"), "Kenvora.mdb", target) == 0; }},
        {"gcab -x",
         [&] {
             return run("gcab", {"-x", "-C", out, path("ours.cab")}) == 0;
         }},
    };
    for (auto _ : state) {
        for (const auto& u : unpackers) {
            QFile::remove(target);
            const double s = secondsOf(u.unpack);
            if (s < 0) {
                state.SkipWithError(u.name);
                return;
            }
            seconds[u.name].push_back(s);
        }
        state.SetIterationTime(seconds["unzip ours"].back());
    }
}

void summary() {
    const double db = double(QFileInfo(setup->database).size());
    const double sizeRatio =
        setup->jlhaSize ? double(setup->oursSize) / double(setup->jlhaSize) : 0;
    const double packRatio = median("pack ours") / median("pack gzip -6");
    const double unpackRatio = median("unpack ours") / median("unpack lhasa x");
    std::printf("\nDatabase: %.1f MB, made with %s\n", db / 1048576, qPrintable(setup->origin));
    std::printf(
        "Archive size   ours %lld (%.2f%%)  jlha -lh5 %lld (%.2f%%)  gzip -6 %lld (%.2f%%)\n",
        setup->oursSize, 100.0 * double(setup->oursSize) / db, setup->jlhaSize,
        100.0 * double(setup->jlhaSize) / db, setup->gzipSize,
        100.0 * double(setup->gzipSize) / db);
    std::printf("Packing        ours %.3f s  gzip -6 %.3f s  backup command %.3f s\n",
                median("pack ours"), median("pack gzip -6"), median("backup command"));
    std::printf("Unpacking      ours %.3f s  lhasa x %.3f s  restore command %.3f s\n",
                median("unpack ours"), median("unpack lhasa x"), median("restore command"));
    for (const auto& [ours, theirs] : {std::pair{"zip ours", "zip -6"}, {"cab ours", "gcab -z"}}) {
        std::printf("%-14s %lld B (%.2f%%) %.3f s   %s %lld B (%.2f%%) %.3f s\n", ours,
                    setup->sizes[ours], 100.0 * double(setup->sizes[ours]) / db, median(ours),
                    theirs, setup->sizes[theirs], 100.0 * double(setup->sizes[theirs]) / db,
                    median(theirs));
    }
    std::printf(
        "Unpacking      unzip ours %.3f s  unzip %.3f s  uncab ours %.3f s  gcab -x %.3f s\n",
        median("unzip ours"), median("unzip"), median("uncab ours"), median("gcab -x"));
    std::printf("Targets        size vs jlha %.4f (<= 1.01) %s\n", sizeRatio,
                sizeRatio > 0 && sizeRatio <= 1.01 ? "met" : "MISSED");
    std::printf("               packing vs gzip -6 %.2fx (<= 1.5x) %s\n", packRatio,
                packRatio <= 1.5 ? "met" : "MISSED");
    std::printf("               unpacking vs lhasa x %.2fx (<= 1.0x) %s\n", unpackRatio,
                unpackRatio <= 1.0 ? "met" : "MISSED");
}

}  // namespace

// Times are ours; the counters give the other tool's time of the same iteration.
BENCHMARK(Pack)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);
BENCHMARK(Unpack)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);
BENCHMARK(BackupCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(RestoreCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ZipAndCabPack)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(ZipAndCabUnpack)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!prepare()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    summary();
    benchmark::Shutdown();
    delete setup;
    return 0;
}
