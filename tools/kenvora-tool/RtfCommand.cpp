#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

#include "kenvora-tool/Commands.h"
#include "platform/richtext/RtfJson.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "sample/Sample.h"

namespace {

int rtfUsage() {
    QTextStream(stderr)
        << "usage: kenvora-tool rtf dump FILE     RTF file -> JSON on standard output\n"
           "       kenvora-tool rtf write         JSON on standard input -> RTF\n"
           "       kenvora-tool rtf sample SEED   text on standard input -> "
           "RTF with some formatting\n";
    return 2;
}

QByteArray readStdin() {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) return {};
    return in.readAll();
}

void writeStdout(const QByteArray& data) {
    QFile out;
    if (out.open(stdout, QIODevice::WriteOnly)) out.write(data);
}

int dump(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << path << ": " << file.errorString() << "\n";
        return 1;
    }
    const richtext::Document doc = richtext::readRtf(QByteArrayView(file.readAll()));
    writeStdout(QJsonDocument(richtext::toJson(doc)).toJson(QJsonDocument::Indented));
    return 0;
}

int write() {
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(readStdin(), &parseError);
    if (!json.isObject()) {
        QTextStream(stderr) << "standard input is not a JSON object: " << parseError.errorString()
                            << "\n";
        return 1;
    }
    // What a run leaves unsaid takes the program's own default: "ＭＳ Ｐゴシック" 10 pt.
    richtext::Format base;
    base.font = richtext::defaultFace();
    base.size = 10;
    QString error;
    const auto doc = richtext::fromJson(json.object(), base, &error);
    if (!doc) {
        QTextStream(stderr) << error << "\n";
        return 1;
    }
    writeStdout(richtext::writeRtf(*doc));
    return 0;
}

int sample(const QString& seedText) {
    bool ok = false;
    const uint seed = seedText.toUInt(&ok);
    if (!ok) return rtfUsage();
    QString text = QString::fromUtf8(readStdin());
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    writeStdout(richtext::sampleRecordRtf(text, seed).toLatin1());
    return 0;
}

}  // namespace

int runRtf(const QStringList& args) {
    if (args.size() == 2 && args[0] == QLatin1String("dump")) return dump(args[1]);
    if (args.size() == 1 && args[0] == QLatin1String("write")) return write();
    if (args.size() == 2 && args[0] == QLatin1String("sample")) return sample(args[1]);
    return rtfUsage();
}
