#include "TestSupport.h"

#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

ScriptedMessages::ScriptedMessages()
{
    m_previous = SetMessageHandler([this](const MessageRecord& r) {
        shown.push_back(r);
        if (m_steps.empty()) {
            ADD_FAILURE() << "unexpected message box: \"" << r.text.toStdString() << "\"";
            return int(mrCancel);
        }
        Step s = m_steps.front();
        m_steps.pop_front();
        if (s.checkText) { EXPECT_EQ(r.text.toStdString(), s.text.toStdString()) << "message box text"; }
        return s.result;
    });
}

ScriptedMessages::~ScriptedMessages()
{
    SetMessageHandler(std::move(m_previous));
    if (!m_steps.empty()) ADD_FAILURE() << m_steps.size() << " scripted message box(es) never shown";
}

ScriptedMessages& ScriptedMessages::Answer(int result)
{
    m_steps.push_back({false, {}, result});
    return *this;
}

ScriptedMessages& ScriptedMessages::Expect(const QString& text, int result)
{
    m_steps.push_back({true, text, result});
    return *this;
}

std::vector<QString> ScriptedMessages::Texts() const
{
    std::vector<QString> out;
    for (const auto& r : shown) out.push_back(r.text);
    return out;
}

ScriptedModals::ScriptedModals()
{
    m_previous = SetModalHandler([this](TForm& form) {
        opened.push_back(&form);
        if (m_scripts.empty()) {
            ADD_FAILURE() << "unexpected modal window: \"" << form.windowTitle().toStdString() << "\"";
            return int(mrCancel);
        }
        Script s = std::move(m_scripts.front());
        m_scripts.pop_front();
        form.show();
        s(form);
        return form.ModalResult();
    });
}

ScriptedModals::~ScriptedModals()
{
    SetModalHandler(std::move(m_previous));
    if (!m_scripts.empty()) ADD_FAILURE() << m_scripts.size() << " scripted modal window(s) never opened";
}

ScriptedModals& ScriptedModals::Then(Script s)
{
    m_scripts.push_back(std::move(s));
    return *this;
}

RecordedLinks::RecordedLinks()
{
    m_previous = SetShellOpenHandler([this](const QString& url) {
        opened.push_back(url);
        return true;
    });
}

RecordedLinks::~RecordedLinks() { SetShellOpenHandler(m_previous); }

TempExeFolder::TempExeFolder()
{
    // Without its folder a test would write next to the test binary.
    if (!m_dir.isValid()) ADD_FAILURE() << "no temporary folder: " << m_dir.errorString().toStdString();
    SetExeFolder(m_dir.path());
}
TempExeFolder::~TempExeFolder() { SetExeFolder(QString()); }
QString TempExeFolder::File(const QString& name) const { return PathJoin(m_dir.path(), name); }

void WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadTestFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

QString FixturePath(const QString& name) { return PathJoin(QStringLiteral(KR_FIXTURES_DIR), name); }

FormatSettings DayMonthYear()
{
    FormatSettings fs;
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    fs.DateSeparator = '/';
    fs.TimeSeparator = ':';
    fs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
    return fs;
}
