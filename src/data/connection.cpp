#include "connection.h"

#include "settings/app_error.h"
#include "sql_error_text.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const QString kNotConnected = QStringLiteral("数据库还没有打开。\nDatabase is not connected");
}

Connection::Connection(QString name) : m_name(std::move(name))
{
    m_error = kNotConnected;
}

Connection::~Connection()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::open(const QString &path)
{
    close();
    if (!QFileInfo(path).isFile()) {
        m_error = missingDatabaseText(path);
        throw AppError(m_error);
    }
    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                      : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        m_error = sqlErrorText(db.lastError(), path);
        throw AppError(m_error);
    }
    // Reading the schema shows at once whether the file is a database at all.
    QSqlQuery q(db);
    const char *const setup[] = {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
                                 "SELECT count(*) FROM sqlite_master"};
    for (const char *statement : setup) {
        if (!q.exec(QString::fromLatin1(statement))) {
            m_error = sqlErrorText(q.lastError(), path);
            q.finish();
            db.close();
            throw AppError(m_error);
        }
    }
    q.finish();
    // A database that cannot be written would fail at the first score or question: say so now.
    if (const QString readOnly = readOnlyProblem(path); !readOnly.isEmpty()) {
        m_error = readOnly + QStringLiteral("\nThe database cannot be written: ") + path;
        db.close();
        throw AppError(m_error);
    }
    m_error.clear();
}

void Connection::close()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    m_error = kNotConnected;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    if (!isOpen())
        throw AppError(m_error);
    return QSqlDatabase::database(m_name, false);
}

void Connection::begin()
{
    QSqlDatabase db = database();
    if (!db.transaction())
        throw AppError(sqlErrorText(db.lastError(), db.databaseName()));
}

void Connection::commit()
{
    QSqlDatabase db = database();
    if (!db.commit()) {
        const QString error = sqlErrorText(db.lastError(), db.databaseName());
        db.rollback();
        throw AppError(error);
    }
}

void Connection::rollback()
{
    if (isOpen())
        QSqlDatabase::database(m_name, false).rollback();
}
