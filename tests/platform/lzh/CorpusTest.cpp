#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "Support.h"
#include "common/TempDatabase.h"
#include "platform/lzh/Command.h"
#include "platform/lzh/Errors.h"
#include "platform/lzh/Reader.h"

using namespace lzh_test;

namespace {

QString corpus(const QString& name) {
    return testing_support::corpusPath(QStringLiteral("lzh/") + name);
}

QJsonObject expectationFor(const QString& archive) {
    QString json = archive;
    json.replace(QStringLiteral(".lzh"), QStringLiteral(".expect.json"));
    return QJsonDocument::fromJson(readFile(json)).object();
}

QStringList archivesIn(const QString& folder,
                       QDirIterator::IteratorFlags flags = QDirIterator::NoIteratorFlags) {
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.lzh")}, QDir::Files, flags);
    while (it.hasNext()) found << it.next();
    found.sort();
    return found;
}

QString restoreLine(const QString& archive, const QString& folder) {
    return QStringLiteral("e \"%1\" \"%2/\" Kenvora.mdb -c -y").arg(archive, folder);
}

}  // namespace

TEST(Corpus, EveryArchiveListsAndDecodesAsExpected) {
    const QStringList archives = archivesIn(corpus(QString()));
    ASSERT_GE(archives.size(), 20);
    for (const QString& archive : archives) {
        SCOPED_TRACE(archive.toStdString());
        const QJsonArray files = expectationFor(archive)[QStringLiteral("files")].toArray();
        lzh::FileSource source;
        ASSERT_EQ(source.open(archive), 0);
        lzh::Reader reader(source);
        for (const auto& value : files) {
            const QJsonObject want = value.toObject();
            lzh::Entry entry;
            bool atEnd = true;
            ASSERT_EQ(reader.next(entry, atEnd), lzh::Ok);
            ASSERT_FALSE(atEnd);
            EXPECT_EQ(entry.name(), want[QStringLiteral("name")].toString());
            EXPECT_EQ(entry.method, want[QStringLiteral("method")].toString().toLatin1());
            EXPECT_EQ(qint64(entry.originalSize), want[QStringLiteral("size")].toInteger());
            EXPECT_EQ(qint64(entry.packedSize), want[QStringLiteral("packed_size")].toInteger());
            EXPECT_EQ(entry.crc, want[QStringLiteral("crc16")].toString().toUInt(nullptr, 16));
            EXPECT_EQ(qint64(entry.headerOffset),
                      want[QStringLiteral("header_offset")].toInteger());
            EXPECT_EQ(qint64(entry.dataOffset), want[QStringLiteral("data_offset")].toInteger());
            if (want.contains(QStringLiteral("unix_time"))) {
                EXPECT_EQ(entry.modified, want[QStringLiteral("unix_time")].toInteger());
            }
            QByteArray data;
            ASSERT_EQ(reader.read([&](const std::uint8_t* p, std::size_t n) {
                data.append(reinterpret_cast<const char*>(p), qsizetype(n));
                return 0;
            }),
                      lzh::Ok);
            EXPECT_EQ(sha256(data), want[QStringLiteral("sha256")].toString().toLatin1());
        }
        lzh::Entry extra;
        bool atEnd = false;
        EXPECT_EQ(reader.next(extra, atEnd), lzh::Ok);
        EXPECT_TRUE(atEnd);
        EXPECT_TRUE(lzh::checkArchive(archive));
    }
}

TEST(Corpus, RestoreFindsKenvoraMdbInAnyFolderOfTheArchive) {
    for (const QString& archive : archivesIn(corpus(QString()))) {
        SCOPED_TRACE(archive.toStdString());
        const QJsonObject want = expectationFor(archive);
        QTemporaryDir dir;
        const int rc = lzh::runCommand(restoreLine(archive, dir.path()));
        const QStringList written = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (!want[QStringLiteral("contains_Kenvora_mdb")].toBool()) {
            EXPECT_EQ(rc, lzh::ErrorNotFindFile);
            EXPECT_TRUE(written.isEmpty());
            continue;
        }
        ASSERT_EQ(rc, lzh::Ok);
        EXPECT_EQ(written, QStringList{QStringLiteral("Kenvora.mdb")});
        QByteArray sha;
        for (const auto& f : want[QStringLiteral("files")].toArray())
            if (f.toObject()[QStringLiteral("name")].toString().endsWith(
                    QStringLiteral("Kenvora.mdb")))
                sha = f.toObject()[QStringLiteral("sha256")].toString().toLatin1();
        EXPECT_EQ(fileSha256(dir.filePath(QStringLiteral("Kenvora.mdb"))), sha);
    }
}

TEST(Corpus, MalformedArchivesFailWithoutTouchingTheDatabase) {
    // What each damage is reported as; the data-level ones may read as either code.
    const QMap<QString, QList<int>> expected = {
        {"crc_error_lh5.lzh", {lzh::ErrorFileCrc, lzh::ErrorHuffmanCode}},
        {"crc_error_stored.lzh", {lzh::ErrorFileCrc}},
        {"header_checksum_h0.lzh", {lzh::ErrorHeaderCrc}},
        {"header_checksum_h1.lzh", {lzh::ErrorHeaderCrc}},
        {"header_crc_h2.lzh", {lzh::ErrorHeaderCrc}},
        // Headers changed without updating their header CRC: that is what gives them away.
        {"packed_size_beyond_eof.lzh", {lzh::ErrorHeaderCrc}},
        {"path_traversal_h0.lzh", {lzh::ErrorHeaderBroken}},
        {"size_field_4gb.lzh", {lzh::ErrorHeaderCrc}},
        {"truncated_half.lzh", {lzh::ErrorEof}},
        {"truncated_in_header.lzh", {lzh::ErrorEof}},
        {"truncated_tail.lzh", {lzh::ErrorEof}},
        {"unknown_method.lzh", {lzh::ErrorHeaderCrc}},
        {"zeros.lzh", {lzh::ErrorFileStyle}},
        {"empty/Kenvora.lzh", {lzh::ErrorFileStyle}},
        {"not_archive_png/Kenvora.lzh", {lzh::ErrorFileStyle}},
        {"not_archive_text/Kenvora.lzh", {lzh::ErrorFileStyle}},
    };
    const QString folder = corpus(QStringLiteral("malformed"));
    const QStringList archives = archivesIn(folder, QDirIterator::Subdirectories);
    ASSERT_EQ(archives.size(), expected.size());
    const QByteArray database = "the database as it was";
    for (const QString& archive : archives) {
        const QString name = QDir(folder).relativeFilePath(archive);
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("Kenvora.mdb")), database);

        const int rc = lzh::runCommand(restoreLine(archive, dir.path()));
        EXPECT_TRUE(expected[name].contains(rc)) << std::hex << rc;
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("Kenvora.mdb"))), database);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        EXPECT_NE(lzh::runCommand(QStringLiteral("t \"%1\"").arg(archive)), lzh::Ok);
        // The basic check reads headers only: damaged data still passes it.
        EXPECT_EQ(lzh::checkArchive(archive), name.startsWith(QLatin1String("crc_error")));
    }
}

TEST(Corpus, AddingToADamagedArchiveLeavesItAlone) {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("Kenvora.lzh"));
    QFile::copy(corpus(QStringLiteral("malformed/header_checksum_h1.lzh")), archive);
    QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = readFile(archive);
    writeFile(dir.filePath(QStringLiteral("Kenvora.mdb")), "data");
    EXPECT_EQ(lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"")
                                  .arg(archive, dir.filePath(QStringLiteral("Kenvora.mdb")))),
              lzh::ErrorHeaderCrc);
    EXPECT_EQ(readFile(archive), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
