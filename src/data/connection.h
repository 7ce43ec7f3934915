#pragma once
// The one connection to the contest database (SQLite). It remembers why opening failed, so every later
// use reports the same error.
#include <QSqlDatabase>
#include <QString>

class Connection {
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the database file; throws AppError when the file is missing or not a database.
    void open(const QString &path);
    void close();
    bool isOpen() const;
    const QString &name() const { return m_name; }

    // The open database; throws the opening error when the connection is not open.
    QSqlDatabase database() const;

    // Runs `work` in one transaction: all of it is stored, or none of it when it throws.
    template <typename Fn>
    void transaction(Fn &&work)
    {
        begin();
        try {
            work();
        } catch (...) {
            rollback();
            throw;
        }
        commit();
    }

private:
    void begin();
    void commit();
    void rollback();

    QString m_name;
    QString m_error;
};
