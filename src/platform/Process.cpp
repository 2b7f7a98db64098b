#include "platform/Process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
QString StartError(const QString& program, int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("The program \"%1\" does not exist.").arg(program);
    case EACCES:
    case EPERM:
        return QStringLiteral("The program \"%1\" may not be run (no permission).").arg(program);
    case ENOEXEC:
        return QStringLiteral("The file \"%1\" is not a program for this machine.").arg(program);
    default:
        return QStringLiteral("The program \"%1\" could not be started: %2").arg(program, QString::fromLocal8Bit(strerror(err)));
    }
}
} // namespace

ProcessRun RunProgramAndWait(const QString& program, const QStringList& args, const QString& workDir, int limitMs)
{
    ProcessRun run;
    if (QFileInfo(program).isDir()) {
        run.error = StartError(program, EACCES);
        return run;
    }
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> argBytes;
    argBytes.push_back(path);
    for (const QString& a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray dir = QFile::encodeName(workDir);
    if (!workDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
    pid_t pid = 0;
    const int err = posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        run.error = StartError(program, err);
        return run;
    }
    run.started = true;
    run.pid = pid;

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            run.finished = true;
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return run;
        }
        if (r < 0 && errno != EINTR) {
            // Reaped elsewhere: its end can no longer be read.
            run.finished = true;
            return run;
        }
        if (clock.elapsed() >= limitMs) {
            // Left running; reap it when it ends so it leaves no zombie.
            std::thread([pid] {
                int st = 0;
                while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
                }
            }).detach();
            return run;
        }
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        usleep(10 * 1000);
    }
}
