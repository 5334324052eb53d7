// The MV53Win program runs once per user: a second copy ends at once, silently.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

TEST(SingleInstance, SecondCopyEndsAtOnceWithoutAWindow)
{
    QTemporaryDir dir;
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    auto start = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(MV53WIN_PATH), {});
        return p.waitForStarted(10000);
    };
    QProcess first;
    ASSERT_TRUE(start(first));
    const QString lock = QDir(runtime).filePath(QStringLiteral("MV53Win.lock"));
    for (int i = 0; i < 200 && !QFileInfo::exists(lock); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(lock));

    QProcess second;
    ASSERT_TRUE(start(second));
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    // The first copy goes on running.
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(10000);
}
