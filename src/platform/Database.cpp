#include "platform/Database.h"

#include <QAtomicInt>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

TDatabaseKind DatabaseKindOf(const QByteArray& head)
{
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return TDatabaseKind::SQLite;
    // Jet (.mdb) and ACE (.accdb) files name their engine at offset 4.
    const QByteArray engine = head.mid(4, 15);
    if (engine == "Standard Jet DB" || engine == "Standard ACE DB") return TDatabaseKind::Access;
    return TDatabaseKind::Unknown;
}

struct TDatabaseQuery::TImpl {
    QString Connection;
    QSqlDatabase Db;
    std::unique_ptr<QSqlQuery> Query;
    bool InTransaction = false;
};

TDatabaseQuery::TDatabaseQuery()
    : FImpl(std::make_unique<TImpl>())
{
    static QAtomicInt counter;
    FImpl->Connection = QStringLiteral("kr_db_query_%1").arg(counter.fetchAndAddRelaxed(1));
}

TDatabaseQuery::~TDatabaseQuery()
{
    FImpl->Query.reset();
    if (FImpl->Db.isOpen()) {
        if (FImpl->InTransaction) FImpl->Db.rollback();
        FImpl->Db.close();
    }
    FImpl->Db = QSqlDatabase();
    QSqlDatabase::removeDatabase(FImpl->Connection);
}

void TDatabaseQuery::Open(const QString& qtDriver, const QString& databaseName, const QString& options)
{
    if (!QSqlDatabase::isDriverAvailable(qtDriver))
        throw EDatabaseError(QStringLiteral("The database driver %1 is not installed").arg(qtDriver));
    FImpl->Db = QSqlDatabase::addDatabase(qtDriver, FImpl->Connection);
    FImpl->Db.setDatabaseName(databaseName);
    FImpl->Db.setConnectOptions(options);
    if (!FImpl->Db.open()) throw EDatabaseError(QStringLiteral("Cannot open the database: ") + FImpl->Db.lastError().text());
    // Whatever a statement writes is rolled back at the end.
    FImpl->InTransaction = FImpl->Db.driver()->hasFeature(QSqlDriver::Transactions) && FImpl->Db.transaction();
    FImpl->Query = std::make_unique<QSqlQuery>(FImpl->Db);
    FImpl->Query->setForwardOnly(true);
}

std::unique_ptr<TDatabaseQuery> TDatabaseQuery::OpenFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file ") + fileName);
    const QByteArray head = f.read(64);
    f.close();
    std::unique_ptr<TDatabaseQuery> q(new TDatabaseQuery);
    switch (DatabaseKindOf(head)) {
    case TDatabaseKind::SQLite:
        q->Open(QStringLiteral("QSQLITE"), fileName, QStringLiteral("QSQLITE_OPEN_READONLY"));
        return q;
    case TDatabaseKind::Access:
        return OpenOdbc(QStringLiteral("MDBTools"), QStringLiteral("DBQ"), fileName);
    case TDatabaseKind::Unknown:
        break;
    }
    throw EDatabaseError(QStringLiteral("Not a database file: ") + fileName);
}

std::unique_ptr<TDatabaseQuery> TDatabaseQuery::OpenOdbc(const QString& driver, const QString& fileKey,
                                                         const QString& fileName)
{
    // The drivers here take the value up to the next ";" literally (a name
    // in braces does not open), so a name that could end the value or start
    // another option is refused rather than passed on.
    static const QRegularExpression unsafe(QStringLiteral("[;{}\\x00-\\x1f]"));
    if (fileName.contains(unsafe) || fileName.trimmed() != fileName)
        throw EDatabaseError(QStringLiteral("The file name cannot be passed to the ODBC driver: ") + fileName);
    std::unique_ptr<TDatabaseQuery> q(new TDatabaseQuery);
    q->Open(QStringLiteral("QODBC"), QStringLiteral("Driver={") + driver + QStringLiteral("};") + fileKey + u'=' + fileName,
            QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY"));
    return q;
}

QString TDatabaseQuery::EscapeIdentifier(const QString& name) const
{
    return FImpl->Db.driver()->escapeIdentifier(name, QSqlDriver::TableName);
}

void TDatabaseQuery::Exec(const QString& sql)
{
    if (!FImpl->Query->exec(sql)) throw EDatabaseError(FImpl->Query->lastError().text());
}

int TDatabaseQuery::FieldCount() const { return FImpl->Query->record().count(); }
QString TDatabaseQuery::FieldName(int i) const { return FImpl->Query->record().fieldName(i); }
int TDatabaseQuery::RecordCount() const { return FImpl->Query->size(); }
bool TDatabaseQuery::Next() { return FImpl->Query->next(); }
QVariant TDatabaseQuery::Value(int i) const { return FImpl->Query->value(i); }
