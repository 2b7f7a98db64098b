#include "app/UComon.h"
#include "common/TestSupport.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

TEST(StartProgram, RunsTheUpdaterInTheExecutableFolderWithTheInjectedLimit)
{
    TempExeFolder exe;
    Set_Program_Folders();
    const QString updater = PathJoin(Exe_Path, "Ethernet_Update.exe");
    WriteTestFile(updater, "#!/bin/sh\nprintf '%s|' \"$#\" \"$(pwd)\" \"$@\" > job_seen.txt\n[ -f wait ] && exec sleep 30\nexit 0\n");
    chmod(QFile::encodeName(updater).constData(), 0755);

    TStartResult r = Start_Program(updater, "", 0);
    EXPECT_TRUE(r.Started);
    EXPECT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(ReadTestFile(PathJoin(Exe_Path, "job_seen.txt")), ("0|" + QDir(Exe_Path).canonicalPath() + "|").toUtf8());

    // The parameter text is a command line of several arguments.
    r = Start_Program(updater, "-v \"job file.xml\"", 0);
    EXPECT_TRUE(r.Finished);
    EXPECT_EQ(ReadTestFile(PathJoin(Exe_Path, "job_seen.txt")),
              ("2|" + QDir(Exe_Path).canonicalPath() + "|-v|job file.xml|").toUtf8());

    WriteTestFile(PathJoin(Exe_Path, "wait"), "");
    const int32_t saved = Start_Program_Limit_ms;
    Start_Program_Limit_ms = 200;
    r = Start_Program(updater, "", 1);
    Start_Program_Limit_ms = saved;
    EXPECT_TRUE(r.Started);
    EXPECT_FALSE(r.Finished);
    ASSERT_GT(r.Pid, 0);
    EXPECT_EQ(kill(pid_t(r.Pid), 0), 0);
    kill(pid_t(r.Pid), SIGKILL);

    r = Start_Program(PathJoin(Exe_Path, "Missing_Update.exe"), "", 0);
    EXPECT_FALSE(r.Started);
    EXPECT_FALSE(r.Error.isEmpty());
}
