#pragma once
// Test helpers shared by every test binary.
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Shell.h"
#include "platform/SysUtils.h"

#include <QString>
#include <QTemporaryDir>
#include <ostream>
#include <deque>
#include <functional>
#include <vector>

// Test failures print texts as text, not as byte dumps.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Scripts the answers of message boxes. While one is alive every box goes to
// it: a box with no scripted answer left fails the running test (and answers
// as if closed). Boxes are recorded in `shown`. At the end of its scope it
// fails the test when scripted answers were not used.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    // The next box answers `result`.
    ScriptedMessages& Answer(int result);
    // The next box must show exactly `text` and answers `result`.
    ScriptedMessages& Expect(const QString& text, int result = mrOk);

    std::vector<MessageRecord> shown;
    // The texts of the boxes shown so far.
    std::vector<QString> Texts() const;

private:
    struct Step {
        bool checkText = false;
        QString text;
        int result = mrOk;
    };
    std::deque<Step> m_steps;
    MessageHandler m_previous;
};

// Drives modal windows without a nested loop: ShowModal shows the window,
// calls the script for it and answers the window's modal result. A window
// with no script left fails the test.
class ScriptedModals {
public:
    using Script = std::function<void(TForm&)>;
    ScriptedModals();
    ~ScriptedModals();
    ScriptedModals(const ScriptedModals&) = delete;
    ScriptedModals& operator=(const ScriptedModals&) = delete;

    ScriptedModals& Then(Script s);
    std::vector<TForm*> opened;

private:
    std::deque<Script> m_scripts;
    ModalHandler m_previous;
};

// Records the links handed to the desktop while it lives, instead of opening
// them.
class RecordedLinks {
public:
    RecordedLinks();
    ~RecordedLinks();
    RecordedLinks(const RecordedLinks&) = delete;
    RecordedLinks& operator=(const RecordedLinks&) = delete;

    std::vector<QString> opened;

private:
    ShellOpenHandler m_previous;
};

// A temporary folder that stands as the executable's folder while it lives.
class TempExeFolder {
public:
    TempExeFolder();
    ~TempExeFolder();
    QString Path() const { return m_dir.path(); }
    QString File(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Writes bytes to a file, creating its folder; fails the test when it cannot.
void WriteTestFile(const QString& path, const QByteArray& bytes);
QByteArray ReadTestFile(const QString& path);

// The folder of the small real files the tests use.
QString FixturePath(const QString& name);

// Format settings pinned to day/month/year with '.' decimals, ',' thousands,
// '/' dates and ':' times, whatever the machine's locale.
FormatSettings DayMonthYear();
