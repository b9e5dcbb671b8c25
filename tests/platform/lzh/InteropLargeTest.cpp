#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Support.h"
#include "platform/lzh/Command.h"
#include "platform/lzh/Errors.h"

using namespace lzh_test;

// A database of backup size, through our archiver and both tools.
TEST(Interop, FiftyMegabyteDatabase) {
    QTemporaryDir dir;
    const QByteArray data = databaseLike(50, 50ll << 20);
    const QByteArray sha = sha256(data);
    writeFile(dir.filePath(QStringLiteral("Kenvora.mdb")), data);
    const QString archive = dir.filePath(QStringLiteral("Kenvora.lzh"));
    ASSERT_EQ(lzh::runCommand(QStringLiteral("a \"%1\" \"%2\"")
                                  .arg(archive, dir.filePath(QStringLiteral("Kenvora.mdb")))),
              lzh::Ok);

    EXPECT_EQ(run(QStringLiteral("lhasa"), {QStringLiteral("t"), archive}).exitCode, 0);
    QTemporaryDir byLhasa, byJlha, byUs;
    ASSERT_EQ(
        run(QStringLiteral("lhasa"), {QStringLiteral("xw=") + byLhasa.path(), archive}).exitCode,
        0);
    EXPECT_EQ(fileSha256(byLhasa.filePath(QStringLiteral("Kenvora.mdb"))), sha);
    ASSERT_EQ(
        run(QStringLiteral("jlha"), {QStringLiteral("xw=") + byJlha.path(), archive}).exitCode, 0);
    EXPECT_EQ(fileSha256(byJlha.filePath(QStringLiteral("Kenvora.mdb"))), sha);

    ASSERT_EQ(lzh::runCommand(
                  QStringLiteral("e \"%1\" \"%2/\" Kenvora.mdb -c -y").arg(archive, byUs.path())),
              lzh::Ok);
    EXPECT_EQ(fileSha256(byUs.filePath(QStringLiteral("Kenvora.mdb"))), sha);
}
