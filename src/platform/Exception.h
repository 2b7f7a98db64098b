#pragma once
// The one exception class of the program. The control library reports misuse
// with an Exception carrying a fixed English message; the top-level handler
// (Application.h) shows the message and abandons the current event.
#include <QString>
#include <QByteArray>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& Message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that should have been a number, a date or another value and is not.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file or folder operation that failed (the message names the path).
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// An XML document that could not be parsed or saved.
class EXMLError : public Exception {
public:
    using Exception::Exception;
};
