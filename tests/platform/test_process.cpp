#include "common/TestSupport.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/SerialPorts.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {
QString WriteScript(const TempExeFolder& dir, const QString& name, const QByteArray& body, bool executable = true)
{
    const QString path = dir.File(name);
    WriteTestFile(path, "#!/bin/sh\n" + body);
    chmod(QFile::encodeName(path).constData(), executable ? 0755 : 0644);
    return path;
}
} // namespace

TEST(Process, RunsInTheGivenFolderWithoutArgumentsAndGivesTheExitCode)
{
    TempExeFolder exe;
    const QString script = WriteScript(exe, "Updater.sh", "echo \"$#|$(pwd)\" > seen.txt\nexit 3\n");
    const QString other = QDir::currentPath();
    ASSERT_NE(other, exe.Path());
    const ProcessRun run = RunProgramAndWait(script, {}, exe.Path(), 10000);
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.error.isEmpty());
    EXPECT_EQ(ReadTestFile(exe.File("seen.txt")).trimmed(), ("0|" + QDir(exe.Path()).canonicalPath()).toUtf8());
}

TEST(Process, StartFailuresAreReported)
{
    TempExeFolder exe;
    const QString notExecutable = WriteScript(exe, "plain.sh", "exit 0\n", false);
    const QString notAProgram = exe.File("data.bin");
    WriteTestFile(notAProgram, QByteArray("\x01\x02\x03 not a program"));
    chmod(QFile::encodeName(notAProgram).constData(), 0755);
    const QString cases[] = {exe.File("Missing.exe"), notExecutable, notAProgram, exe.Path()};
    for (const QString& program : cases) {
        const ProcessRun run = RunProgramAndWait(program, {}, exe.Path(), 10000);
        EXPECT_FALSE(run.started) << program.toStdString();
        EXPECT_FALSE(run.finished) << program.toStdString();
        EXPECT_TRUE(run.error.contains(program)) << run.error.toStdString();
    }
}

TEST(Process, BoundedWaitLeavesTheProgramRunningAndKeepsPainting)
{
    TempExeFolder exe;
    const QString script = WriteScript(exe, "slow.sh", "exec sleep 30\n");
    // A timer standing for the window's painting must keep running while
    // the starter waits.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    const ProcessRun run = RunProgramAndWait(script, {}, exe.Path(), 300);
    timer.stop();
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_GT(ticks, 2);
    ASSERT_GT(run.pid, 0);
    EXPECT_EQ(kill(pid_t(run.pid), 0), 0) << "the program should still run";
    kill(pid_t(run.pid), SIGKILL);
}

TEST(SerialPorts, ListsOnlyDevicesThatExistInOrder)
{
    TempExeFolder dev;
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyS1", "ttyACM0", "tty0", "ttyUSBx", "console", "ttyS1000"})
        WriteTestFile(dev.File(name), "");
    ASSERT_TRUE(ForceDirectories(dev.File("ttyS5")));  // a folder is no device
    EXPECT_EQ(ListSerialPorts(dev.Path()), QStringList({dev.File("ttyACM0"), dev.File("ttyS1"), dev.File("ttyUSB2"),
                                                        dev.File("ttyUSB10")}));
    EXPECT_TRUE(ListSerialPorts(dev.File("missing")).isEmpty());
}
