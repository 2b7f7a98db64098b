#pragma once
// Read-only queries on database files through Qt SQL: a SQLite file through
// the embedded driver, an Access file (Jet or ACE signature) through ODBC and
// the MDBTools driver. Every query runs on a connection of its own, opened
// read-only, inside a transaction that is rolled back at the end, so a
// statement that would write changes nothing.
#include "platform/Exception.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// A database that cannot be opened, a driver that is missing, a query the
// database refuses.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

enum class TDatabaseKind { Unknown, SQLite, Access };
// The kind of a database file by its first bytes.
TDatabaseKind DatabaseKindOf(const QByteArray& head);

class TDatabaseQuery {
public:
    // Opens the file by its kind; raises EFileError when it cannot be read,
    // EDatabaseError when it is no database this program reads.
    static std::unique_ptr<TDatabaseQuery> OpenFile(const QString& fileName);
    // Opens a file through an ODBC driver: "Driver={driver};key=file". A
    // name holding ";", braces or control characters is refused
    // (EDatabaseError): it could pass options of its own to the driver.
    static std::unique_ptr<TDatabaseQuery> OpenOdbc(const QString& driver, const QString& fileKey,
                                                    const QString& fileName);
    ~TDatabaseQuery();
    TDatabaseQuery(const TDatabaseQuery&) = delete;
    TDatabaseQuery& operator=(const TDatabaseQuery&) = delete;

    // A table name quoted for the database's SQL.
    QString EscapeIdentifier(const QString& name) const;
    // Runs the statement; raises EDatabaseError with the database's message.
    void Exec(const QString& sql);
    int FieldCount() const;
    QString FieldName(int i) const;
    // The number of records, or -1 when the driver cannot tell.
    int RecordCount() const;
    // Moves to the next record; false after the last.
    bool Next();
    QVariant Value(int i) const;

private:
    TDatabaseQuery();
    void Open(const QString& qtDriver, const QString& databaseName, const QString& options);
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
