#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Support.h"
#include "platform/lzh/Command.h"
#include "platform/lzh/Errors.h"
#include "platform/lzh/Lh5Encoder.h"
#include "platform/lzh/Reader.h"
#include "platform/lzh/Writer.h"

using namespace lzh_test;

namespace {

class ArchiveCommands : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString archive() const { return path(QStringLiteral("Kenvora.lzh")); }
    int add(const QString& file) {
        return lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"").arg(archive(), path(file)));
    }
    int restore(const QString& folder, const QString& switches = QStringLiteral(" -c -y")) {
        return lzh::runCommand(
            QStringLiteral("e \"%1\" \"%2/\" Kenvora.mdb").arg(archive(), folder) + switches);
    }
    std::vector<lzh::Entry> entries() const {
        lzh::FileSource source;
        std::vector<lzh::Entry> list;
        if (source.open(archive()) == 0) lzh::scanArchive(source, list);
        return list;
    }
    QStringList filesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
};

}  // namespace

TEST(CommandLine, SplitsLikeTheArchiverReadsIt) {
    const auto words = lzh::splitCommandLine(
        QStringLiteral("e \"/a b/Kenvora.lzh\"  \"/db dir/\" Kenvora.mdb -c -y \"-x\""));
    ASSERT_EQ(words.size(), 7);
    EXPECT_EQ(words[1].text, QStringLiteral("/a b/Kenvora.lzh"));
    EXPECT_EQ(words[2].text, QStringLiteral("/db dir/"));
    EXPECT_TRUE(words[4].isSwitch);
    EXPECT_TRUE(words[5].isSwitch);
    EXPECT_FALSE(words[6].isSwitch);  // quoted: a name, not a switch
}

TEST(CommandLine, RefusesWhatItCannotDo) {
    EXPECT_EQ(lzh::runCommand(QString()), lzh::ErrorCommandName);
    EXPECT_EQ(lzh::runCommand(QStringLiteral("d \"x.lzh\" a.txt")), lzh::ErrorCommandName);
    EXPECT_EQ(lzh::runCommand(QStringLiteral("a")), lzh::ErrorNoArchiveName);
    EXPECT_EQ(lzh::runCommand(QStringLiteral("a \"/tmp/x.lzh\"")), lzh::ErrorNotFileName);
    EXPECT_EQ(
        lzh::runCommand(QStringLiteral("e \"/nonexistent/x.lzh\" \"/tmp/\" Kenvora.mdb -c -y")),
        lzh::ErrorNoArchiveFile);
    EXPECT_FALSE(lzh::isRunning());
}

TEST_F(ArchiveCommands, BackupAndRestoreRoundTrip) {
    const QByteArray data = databaseLike(11, 300000);
    QDir().mkdir(path(QStringLiteral("db")));
    writeFile(path(QStringLiteral("db/Kenvora.mdb")), data);
    ASSERT_EQ(add(QStringLiteral("db/Kenvora.mdb")), lzh::Ok);

    const auto list = entries();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name(), QStringLiteral("Kenvora.mdb"));  // bare name, no folder
    EXPECT_EQ(list[0].method, QByteArray("-lh5-"));
    EXPECT_EQ(list[0].headerLevel, 2);
    EXPECT_EQ(list[0].modified,
              QFileInfo(path(QStringLiteral("db/Kenvora.mdb"))).lastModified().toSecsSinceEpoch());
    EXPECT_TRUE(lzh::checkArchive(archive()));
    EXPECT_EQ(lzh::runCommand(QStringLiteral("t \"%1\"").arg(archive())), lzh::Ok);

    // The restore overwrites a newer file (-c) without asking (-y).
    QDir().mkdir(path(QStringLiteral("restore")));
    writeFile(path(QStringLiteral("restore/Kenvora.mdb")), "newer");
    ASSERT_EQ(restore(path(QStringLiteral("restore"))), lzh::Ok);
    EXPECT_EQ(readFile(path(QStringLiteral("restore/Kenvora.mdb"))), data);
    EXPECT_EQ(filesIn(path(QStringLiteral("restore"))), QStringList{QStringLiteral("Kenvora.mdb")});
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("Kenvora.lzh")});
}

TEST_F(ArchiveCommands, AddReplacesTheMemberOfThatNameAndKeepsTheOthers) {
    writeFile(path(QStringLiteral("readme.txt")), "read me");
    writeFile(path(QStringLiteral("Kenvora.mdb")), "first");
    ASSERT_EQ(add(QStringLiteral("readme.txt")), lzh::Ok);
    ASSERT_EQ(add(QStringLiteral("Kenvora.mdb")), lzh::Ok);
    writeFile(path(QStringLiteral("Kenvora.mdb")), repetitive(100000));
    ASSERT_EQ(add(QStringLiteral("Kenvora.mdb")), lzh::Ok);

    const auto list = entries();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name(), QStringLiteral("readme.txt"));
    EXPECT_EQ(list[1].name(), QStringLiteral("Kenvora.mdb"));
    EXPECT_EQ(list[1].originalSize, 100000u);

    QTemporaryDir out;
    ASSERT_EQ(lzh::runCommand(QStringLiteral("e \"%1\" \"%2/\"").arg(archive(), out.path())),
              lzh::Ok);
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("readme.txt"))), QByteArray("read me"));
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("Kenvora.mdb"))), repetitive(100000));
}

TEST_F(ArchiveCommands, SmallAndIncompressibleFilesAreStored) {
    writeFile(path(QStringLiteral("empty.dat")), {});
    writeFile(path(QStringLiteral("random.bin")), randomBytes(1, 65536));
    ASSERT_EQ(add(QStringLiteral("empty.dat")), lzh::Ok);
    ASSERT_EQ(add(QStringLiteral("random.bin")), lzh::Ok);
    const auto list = entries();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].method, QByteArray("-lh0-"));
    EXPECT_EQ(list[1].method, QByteArray("-lh0-"));
    EXPECT_EQ(list[1].packedSize, 65536u);
    EXPECT_EQ(lzh::runCommand(QStringLiteral("t \"%1\"").arg(archive())), lzh::Ok);
}

TEST_F(ArchiveCommands, AnEmptyArchiveFileIsWrittenAnew) {
    writeFile(archive(), {});
    writeFile(path(QStringLiteral("Kenvora.mdb")), "data");
    EXPECT_EQ(add(QStringLiteral("Kenvora.mdb")), lzh::Ok);
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(ArchiveCommands, FailuresLeaveThePreviousArchiveExactly) {
    writeFile(path(QStringLiteral("Kenvora.mdb")), "data");
    ASSERT_EQ(add(QStringLiteral("Kenvora.mdb")), lzh::Ok);
    const QByteArray before = readFile(archive());

    EXPECT_EQ(add(QStringLiteral("missing.mdb")), lzh::ErrorNotFindFile);
    writeFile(path(QStringLiteral("not-an-archive.lzh")), "plain text, not an archive");
    EXPECT_EQ(lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"")
                                  .arg(path(QStringLiteral("not-an-archive.lzh")),
                                       path(QStringLiteral("Kenvora.mdb")))),
              lzh::ErrorFileStyle);
    EXPECT_EQ(readFile(archive()), before);
    EXPECT_EQ(readFile(path(QStringLiteral("not-an-archive.lzh"))),
              QByteArray("plain text, not an archive"));
    EXPECT_EQ(filesIn(dir.path()).size(), 3);  // no work files left behind
}

TEST_F(ArchiveCommands, ExtractingAsksBeforeReplacing) {
    writeFile(path(QStringLiteral("Kenvora.mdb")), "archived");
    ASSERT_EQ(add(QStringLiteral("Kenvora.mdb")), lzh::Ok);
    QTemporaryDir out;
    writeFile(out.filePath(QStringLiteral("Kenvora.mdb")), "current");

    // Nobody can answer the question: without -y the file stays.
    EXPECT_EQ(restore(out.path(), QStringLiteral(" -c")), lzh::ErrorAlreadyExist);
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("Kenvora.mdb"))), QByteArray("current"));
    // Without -c a newer file stays as well.
    const QDateTime later = QDateTime::currentDateTime().addDays(1);
    QFile f(out.filePath(QStringLiteral("Kenvora.mdb")));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(later, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(restore(out.path(), QStringLiteral(" -y")), lzh::ErrorMoreFresh);
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("Kenvora.mdb"))), QByteArray("current"));
    // The restored file keeps the permissions of the file it replaces.
    QFile::setPermissions(out.filePath(QStringLiteral("Kenvora.mdb")),
                          QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(restore(out.path()), lzh::Ok);
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("Kenvora.mdb"))), QByteArray("archived"));
    struct stat st {};
    ASSERT_EQ(::stat(out.filePath(QStringLiteral("Kenvora.mdb")).toLocal8Bit().constData(), &st),
              0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ArchiveCommands, NamesMatchWithoutRegardToCase) {
    writeFile(path(QStringLiteral("KENVORA.MDB")), "upper");
    ASSERT_EQ(add(QStringLiteral("KENVORA.MDB")), lzh::Ok);
    QTemporaryDir out;
    // Asked for by its exact name, the member lands under that name.
    ASSERT_EQ(restore(out.path()), lzh::Ok);
    EXPECT_EQ(filesIn(out.path()), QStringList{QStringLiteral("Kenvora.mdb")});
    // With a wildcard it keeps its own.
    ASSERT_EQ(
        lzh::runCommand(QStringLiteral("e \"%1\" \"%2/\" *.mdb -y").arg(archive(), out.path())),
        lzh::Ok);
    EXPECT_TRUE(QFileInfo::exists(out.filePath(QStringLiteral("KENVORA.MDB"))));
    EXPECT_EQ(
        lzh::runCommand(QStringLiteral("e \"%1\" \"%2/\" *.txt -y").arg(archive(), out.path())),
        lzh::ErrorNotFindFile);
}

TEST_F(ArchiveCommands, JapaneseNamesAreStoredInCp932) {
    const QString name = QStringLiteral("データ.txt");
    writeFile(path(name), "japanese");
    ASSERT_EQ(add(name), lzh::Ok);
    const auto list = entries();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].fileName.toHex(), QByteArray("8366815b835e2e747874"));
    EXPECT_EQ(list[0].name(), name);
}

// A full disk must leave the old archive as it was. Needs a small tmpfs, so root.
TEST_F(ArchiveCommands, AFullDiskLeavesTheOldArchive) {
    const QString mountPoint = path(QStringLiteral("small"));
    QDir().mkdir(mountPoint);
    if (::geteuid() != 0 ||
        ::mount("tmpfs", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount(at.constData()); }
    } unmount{mountPoint.toLocal8Bit()};
    const QString small = mountPoint + QStringLiteral("/Kenvora.lzh");
    writeFile(path(QStringLiteral("Kenvora.mdb")), "small data");
    EXPECT_EQ(
        lzh::runCommand(
            QStringLiteral("a \"%1\" \"%2\"").arg(small, path(QStringLiteral("Kenvora.mdb")))),
        lzh::Ok);
    const QByteArray before = readFile(small);
    writeFile(path(QStringLiteral("Kenvora.mdb")), randomBytes(3, 400000));
    const int rc = lzh::runCommand(
        QStringLiteral("a \"%1\" \"%2\"").arg(small, path(QStringLiteral("Kenvora.mdb"))));
    EXPECT_EQ(rc, lzh::ErrorDiskSpace);
    EXPECT_EQ(readFile(small), before);
    EXPECT_EQ(filesIn(mountPoint), QStringList{QStringLiteral("Kenvora.lzh")});
}

TEST_F(ArchiveCommands, AHeaderLengthEndingInZeroIsPadded) {
    // 222 bytes of name make a 256-byte header, whose first byte would read as the end mark.
    const QString name = QString(218, QLatin1Char('n')) + QStringLiteral(".mdb");
    writeFile(path(name), "padded");
    ASSERT_EQ(add(name), lzh::Ok);
    const auto list = entries();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].dataOffset - list[0].headerOffset, 257u);
    EXPECT_EQ(list[0].name(), name);
    EXPECT_EQ(run(QStringLiteral("lhasa"), {QStringLiteral("t"), archive()}).exitCode, 0);
}

TEST_F(ArchiveCommands, ImpossibleSizesFailQuickly) {
    QDir().mkdir(path(QStringLiteral("db")));
    writeFile(path(QStringLiteral("db/Kenvora.mdb")), "the database as it was");

    // Data said to run 2 GB past the end of the file.
    writeFile(archive(),
              lzh::level2Header("-lh0-", 0x7FFFFFFF, 0x7FFFFFFF, 0, 0, "Kenvora.mdb") + "abc");
    EXPECT_FALSE(lzh::checkArchive(archive()));
    EXPECT_EQ(restore(path(QStringLiteral("db"))), lzh::ErrorEof);

    // A few hundred bytes said to unpack to 4 GB.
    const QByteArray text = repetitive(50000);
    const auto packed = lzh::compressLh5(text.constData(), std::size_t(text.size()));
    writeFile(
        archive(),
        lzh::level2Header("-lh5-", packed.size(), 0xFFFFFFF0u, 0, 0, "Kenvora.mdb") +
            QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size())) +
            QByteArray(1, '\0'));
    EXPECT_TRUE(lzh::checkArchive(archive()));
    EXPECT_EQ(restore(path(QStringLiteral("db"))), lzh::ErrorHuffmanCode);
    EXPECT_EQ(readFile(path(QStringLiteral("db/Kenvora.mdb"))),
              QByteArray("the database as it was"));
    EXPECT_EQ(filesIn(path(QStringLiteral("db"))).size(), 1);
}
