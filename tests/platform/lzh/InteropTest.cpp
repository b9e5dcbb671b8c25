#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "Support.h"
#include "platform/lzh/Command.h"
#include "platform/lzh/Errors.h"

using namespace lzh_test;

namespace {

struct Payload {
    QString name;
    QByteArray data;
    const char* method;  // what packing it is worth: too small or random ones are stored
};

QList<Payload> payloads() {
    return {
        {QStringLiteral("empty.dat"), {}, "-lh0-"},
        {QStringLiteral("one.dat"), "K", "-lh0-"},
        {QStringLiteral("mixed.bin"), databaseLike(21, 300 * 1024), "-lh5-"},
        {QStringLiteral("repetitive.txt"), repetitive(1 << 20), "-lh5-"},
        {QStringLiteral("random.bin"), randomBytes(22, 64 * 1024), "-lh0-"},
    };
}

// "NAME" with its size and method, as `lhasa v` and `jlha v` list members.
void expectListed(const QString& listing, const QString& name, qsizetype size, const char* method) {
    const QRegularExpression line(QStringLiteral("\\b%1\\s+\\S+\\s+%2\\s.*\\s%3\\s*$")
                                      .arg(size)
                                      .arg(QRegularExpression::escape(QString::fromLatin1(method)))
                                      .arg(QRegularExpression::escape(name)),
                                  QRegularExpression::MultilineOption);
    EXPECT_TRUE(line.match(listing).hasMatch()) << name.toStdString() << " in\n"
                                                << listing.toStdString();
}

}  // namespace

// Archives we write open in the two LZH tools on this system.
TEST(Interop, LhasaListsTestsAndExtractsEveryPayload) {
    QTemporaryDir dir;
    for (const Payload& p : payloads()) {
        SCOPED_TRACE(p.name.toStdString());
        writeFile(dir.filePath(p.name), p.data);
        const QString archive = dir.filePath(p.name + QStringLiteral(".lzh"));
        ASSERT_EQ(
            lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"").arg(archive, dir.filePath(p.name))),
            lzh::Ok);

        const ProcessResult list = run(QStringLiteral("lhasa"), {QStringLiteral("v"), archive});
        ASSERT_EQ(list.exitCode, 0) << list.output.toStdString();
        expectListed(list.output, p.name, p.data.size(), p.method);

        EXPECT_EQ(run(QStringLiteral("lhasa"), {QStringLiteral("t"), archive}).exitCode, 0);
        QTemporaryDir out;
        ASSERT_EQ(
            run(QStringLiteral("lhasa"), {QStringLiteral("xw=") + out.path(), archive}).exitCode,
            0);
        EXPECT_EQ(fileSha256(out.filePath(p.name)), sha256(p.data));
    }
}

// jlha is slow to start, so it gets one archive holding every payload; it is no verifier
// (it exits 0 on a CRC error), so what it extracts is compared byte for byte.
TEST(Interop, JlhaListsTestsAndExtractsEveryPayload) {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("all.lzh"));
    QString line = QStringLiteral("a \"%1\"").arg(archive);
    for (const Payload& p : payloads()) {
        writeFile(dir.filePath(p.name), p.data);
        line += QStringLiteral(" \"%1\"").arg(dir.filePath(p.name));
    }
    ASSERT_EQ(lzh::runCommand(line), lzh::Ok);

    const ProcessResult list = run(QStringLiteral("jlha"), {QStringLiteral("v"), archive});
    ASSERT_EQ(list.exitCode, 0) << list.output.toStdString();
    for (const Payload& p : payloads()) expectListed(list.output, p.name, p.data.size(), p.method);
    const ProcessResult test = run(QStringLiteral("jlha"), {QStringLiteral("t"), archive});
    EXPECT_EQ(test.exitCode, 0);
    EXPECT_FALSE(test.output.contains(QStringLiteral("CRC"), Qt::CaseInsensitive))
        << test.output.toStdString();

    QTemporaryDir out;
    ASSERT_EQ(run(QStringLiteral("jlha"), {QStringLiteral("xw=") + out.path(), archive}).exitCode,
              0);
    for (const Payload& p : payloads())
        EXPECT_EQ(fileSha256(out.filePath(p.name)), sha256(p.data)) << p.name.toStdString();
}
