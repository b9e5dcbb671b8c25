// Reading and writing RTF of record size and beyond, and the rich text box's TextRTF.
// Run: build/bench/richtext_bench (QT_QPA_PLATFORM=offscreen is set when unset).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTextDocument>

#include "platform/richtext/RichTextBox.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

using namespace richtext;

namespace {

// A document as a user's long record looks: Japanese and Latin text in paragraphs, with
// bold, colour, size and font changes every few words, until its RTF reaches `bytes`.
Document makeDocument(qsizetype bytes) {
    const QString words[] = {QStringLiteral("単語"),   QStringLiteral("りんご"),
                             QStringLiteral("林檎"),   QStringLiteral("apple"),
                             QStringLiteral("意味："), QStringLiteral("果物の一種。"),
                             QStringLiteral("Fruit."), QStringLiteral("（例文）"),
                             QStringLiteral("東京都"), QStringLiteral("～①髙")};
    Document doc;
    Paragraph para;
    int n = 0;
    while (true) {
        Format f;
        f.font = n % 7 == 0 ? QStringLiteral("IPAMincho") : defaultFace();
        f.size = n % 5 == 0 ? 12 : 10;
        f.bold = n % 3 == 0;
        f.italic = n % 11 == 0;
        if (n % 4 == 0) f.color = 0xFF0000;
        appendText(para, words[n % 10] + QLatin1Char(' '), f);
        if (++n % 12 == 0) {
            finishParagraph(para, f);
            doc.paragraphs.push_back(std::move(para));
            para = Paragraph();
            if (n % 48 == 0 && writeRtf(doc).size() >= bytes) break;
        }
    }
    return doc;
}

const Document& document20k() {
    static const Document doc = makeDocument(20 * 1024);
    return doc;
}

const QByteArray& rtf20k() {
    static const QByteArray rtf = writeRtf(document20k());
    return rtf;
}

void BM_ReadRtf20K(benchmark::State& state) {
    const QByteArray& rtf = rtf20k();
    for (auto _ : state) benchmark::DoNotOptimize(readRtf(QByteArrayView(rtf)));
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadRtf20K)->Unit(benchmark::kMicrosecond);

// The database hands RTF over as a string.
void BM_ReadRtf20KFromString(benchmark::State& state) {
    const QString rtf = QString::fromLatin1(rtf20k());
    for (auto _ : state) benchmark::DoNotOptimize(readRtf(QStringView(rtf)));
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtf20KFromString)->Unit(benchmark::kMicrosecond);

void BM_WriteRtf20K(benchmark::State& state) {
    const Document& doc = document20k();
    for (auto _ : state) benchmark::DoNotOptimize(writeRtf(doc));
    state.SetBytesProcessed(state.iterations() * rtf20k().size());
}
BENCHMARK(BM_WriteRtf20K)->Unit(benchmark::kMicrosecond);

// LibreOffice's own output (\uN text, \dbch runs, a style sheet), 76 KB from the corpus.
void BM_ReadLibreOfficeLong(benchmark::State& state) {
    QFile f(QStringLiteral(KENVORA_CORPUS_DIR "/rtf/libreoffice/lo12_long.rtf"));
    if (!f.open(QIODevice::ReadOnly)) {
        state.SkipWithError("corpus file missing");
        return;
    }
    const QByteArray rtf = f.readAll();
    for (auto _ : state) benchmark::DoNotOptimize(readRtf(QByteArrayView(rtf)));
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadLibreOfficeLong)->Unit(benchmark::kMicrosecond);

void BM_BoxSetTextRTF20K(benchmark::State& state) {
    RichTextBox box;
    const QString rtf = QString::fromLatin1(rtf20k());
    for (auto _ : state) box.setTextRTF(rtf);
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_BoxSetTextRTF20K)->Unit(benchmark::kMicrosecond);

void BM_BoxTextRTF20K(benchmark::State& state) {
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(rtf20k()));
    for (auto _ : state) benchmark::DoNotOptimize(box.TextRTF());
    state.SetBytesProcessed(state.iterations() * rtf20k().size());
}
BENCHMARK(BM_BoxTextRTF20K)->Unit(benchmark::kMicrosecond);

// Baseline: Qt's own rich text import of the same content as HTML.
void BM_BaselineQtSetHtml20K(benchmark::State& state) {
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(rtf20k()));
    const QString html = box.document()->toHtml();
    QTextDocument doc;
    for (auto _ : state) doc.setHtml(html);
    state.counters["html_bytes"] = static_cast<double>(html.toUtf8().size());
}
BENCHMARK(BM_BaselineQtSetHtml20K)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
