#pragma once
// Starting an outside program and waiting for its end with a bound.
#include <QString>
#include <QStringList>

struct ProcessRun {
    bool started = false;   // the program could be started
    QString error;          // why it could not, in plain words
    bool finished = false;  // it ended before the limit
    int exitCode = -1;      // its exit code when it ended normally, else -1
    qint64 pid = 0;         // its process id once started
};

// Starts `program` with `args` in the folder `workDir` and waits until it
// ends or `limitMs` have passed, polling every 10 ms. While it waits the
// windows keep painting (pending events are processed, user input excluded).
// A program still running at the limit is left running and is reaped in the
// background when it ends. A missing file, a file without run permission or a
// file that is not a program for this machine is reported, not thrown.
ProcessRun RunProgramAndWait(const QString& program, const QStringList& args, const QString& workDir, int limitMs);
