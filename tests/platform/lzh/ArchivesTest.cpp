#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "Support.h"
#include "platform/lzh/Archives.h"

using namespace lzh_test;

namespace {

struct Kind {
    const char* name;
    int (*pack)(const QString&, const QString&, unsigned);
    int (*unpack)(const QString&, const QString&, const QString&);
    archives::Format format;
};

const Kind kKinds[] = {
    {"Kenvora.zip", archives::packZip, archives::unpackZip, archives::Format::Zip},
    {"Kenvora.cab", archives::packCab, archives::unpackCab, archives::Format::Cab},
};

unsigned modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class Archives : public ::testing::Test {
protected:
    void SetUp() override {
        data = databaseLike(7, 700 * 1024);
        writeFile(dir.filePath("Kenvora.mdb"), data);
        ASSERT_TRUE(QDir().mkdir(dir.filePath("out")));
    }
    QTemporaryDir dir;
    QByteArray data;
};

}  // namespace

TEST_F(Archives, PackThenUnpackGivesTheSameBytesAndTheAskedMode) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const QString archive = dir.filePath(k.name);
        ASSERT_EQ(k.pack(archive, dir.filePath("Kenvora.mdb"), 0640), 0);
        EXPECT_EQ(modeOf(archive), 0640u);
        EXPECT_EQ(archives::detectFormat(archive), k.format);
        EXPECT_LT(QFileInfo(archive).size(), data.size() / 2);  // it really compresses

        const QString out = dir.filePath("out/Kenvora.mdb");
        ASSERT_EQ(k.unpack(archive, "Kenvora.mdb", out), 0);
        EXPECT_EQ(readFile(out), data);
        EXPECT_EQ(k.unpack(archive, "Other.mdb", out), archives::MemberMissing);
        QFile::remove(out);
        // No work file is left behind either way.
        EXPECT_EQ(entries(dir.filePath("out")), QStringList());
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"Kenvora.cab", "Kenvora.mdb", "Kenvora.zip"}));
    EXPECT_EQ(archives::detectFormat(dir.filePath("Kenvora.mdb")), archives::Format::Unknown);
}

TEST_F(Archives, AFailedPackLeavesThePreviousArchiveAndNoWorkFile) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const QString archive = dir.filePath(k.name);
        writeFile(archive, "previous");
        EXPECT_EQ(k.pack(archive, dir.filePath("missing.mdb"), 0644), ENOENT);
        EXPECT_EQ(readFile(archive), "previous");
        EXPECT_EQ(k.pack(archive, dir.filePath("out"), 0644), EISDIR);
        QFile::remove(archive);
    }
    EXPECT_EQ(entries(dir.path()), QStringList{"Kenvora.mdb"});
}

TEST_F(Archives, DamagedOrForeignFilesAreRefused) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const QString archive = dir.filePath(k.name);
        const QString out = dir.filePath("out/Kenvora.mdb");
        writeFile(archive, "this is no archive at all, just some text");
        EXPECT_EQ(k.unpack(archive, "Kenvora.mdb", out), archives::NotAnArchive);

        ASSERT_EQ(k.pack(archive, dir.filePath("Kenvora.mdb"), 0644), 0);
        QByteArray bytes = readFile(archive);
        // Flip bits in the middle of the compressed data.
        for (int i = 0; i < 16; ++i)
            bytes[bytes.size() / 2 + i] = char(bytes[bytes.size() / 2 + i] ^ 0x5A);
        writeFile(archive, bytes);
        const int result = k.unpack(archive, "Kenvora.mdb", out);
        EXPECT_NE(result, 0);
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_EQ(entries(dir.filePath("out")), QStringList());
    }
}

// Other tools accept what we write, and we read what they write.
TEST_F(Archives, InteropWithZipSevenZipCabextractAndGcab) {
    const QString mdb = dir.filePath("Kenvora.mdb");
    ASSERT_EQ(archives::packZip(dir.filePath("Kenvora.zip"), mdb, 0644), 0);
    ASSERT_EQ(archives::packCab(dir.filePath("Kenvora.cab"), mdb, 0644), 0);
    EXPECT_EQ(run("unzip", {"-t", dir.filePath("Kenvora.zip")}).exitCode, 0);
    EXPECT_EQ(run("7z", {"t", dir.filePath("Kenvora.zip")}).exitCode, 0);
    EXPECT_EQ(run("7z", {"t", dir.filePath("Kenvora.cab")}).exitCode, 0);
    EXPECT_EQ(run("cabextract", {"-t", dir.filePath("Kenvora.cab")}).exitCode, 0);
    const ProcessResult listed = run("gcab", {"-t", dir.filePath("Kenvora.cab")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(listed.output.contains("Kenvora.mdb")) << listed.output.toStdString();

    // Made by the tools, the way a user might have made a backup by hand.
    QDir().mkdir(dir.filePath("tools"));
    const QString zipMade = dir.filePath("tools/zip.zip");
    const QString sevenMade = dir.filePath("tools/7z.zip");
    const QString cabMade = dir.filePath("tools/gcab.cab");
    ASSERT_EQ(run("zip", {"-q", "-6", zipMade, "Kenvora.mdb"}, dir.path()).exitCode, 0);
    ASSERT_EQ(run("7z", {"a", "-tzip", sevenMade, "Kenvora.mdb"}, dir.path()).exitCode, 0);
    ASSERT_EQ(run("gcab", {"-c", "-z", "-n", cabMade, "Kenvora.mdb"}, dir.path()).exitCode, 0);
    const QString out = dir.filePath("out/Kenvora.mdb");
    for (const QString& made : {zipMade, sevenMade}) {
        ASSERT_EQ(archives::unpackZip(made, "Kenvora.mdb", out), 0) << made.toStdString();
        EXPECT_EQ(readFile(out), data);
    }
    ASSERT_EQ(archives::unpackCab(cabMade, "Kenvora.mdb", out), 0);
    EXPECT_EQ(readFile(out), data);
    EXPECT_EQ(archives::detectFormat(zipMade), archives::Format::Zip);
    EXPECT_EQ(archives::detectFormat(cabMade), archives::Format::Cab);
}
