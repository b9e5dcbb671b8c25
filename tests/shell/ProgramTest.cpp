// The built program itself: a second copy started while one runs ends at once, touching
// nothing.
#include <gtest/gtest.h>

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(ProgramTest, SecondInstanceEndsAtOnceWithoutTouchingAnything) {
    QTemporaryDir runtime;
    QTemporaryDir home;
    QLockFile running(runtime.filePath(QStringLiteral("kenvora.lock")));
    running.setStaleLockTime(0);
    ASSERT_TRUE(running.tryLock(0));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(KENVORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    const bool ended = program.waitForFinished(60000);
    if (!ended) program.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral(".config/KENVORA/KENVORA.ini"))));
}

}  // namespace
