#pragma once
// A query object on the contest database: one statement with named parameters (":ls", ":ls1", ...).
// A select fetches all its rows at once, so they can be counted, scrolled and bookmarked, and the current
// row can be edited, deleted or a new one appended and posted; those writes go to the selected table
// through each row's rowid. Every failure throws AppError with the driver's text.
#include <QObject>
#include "connection.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Dataset : public QObject {
    Q_OBJECT
public:
    // `designSql` is the statement set at design; it stays until another is set.
    Dataset(const QString &name, const Connection &connection, QString designSql = {}, QObject *parent = nullptr);

    // Statement and parameters.
    void close();
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    void bindText(const QString &name, const QString &value);
    void bindInt(const QString &name, int value);
    void bindBool(const QString &name, bool value);

    // Runs the statement as a select and fetches every row; the first row becomes current.
    void open();
    // Runs a statement that returns no rows (delete, update, insert); returns the rows it changed.
    int execute();
    bool isActive() const { return m_active; }

    // Rows and navigation.
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recNo() const { return m_current; } // 0-based; -1 with no row
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    // A bookmark names a row for as long as the result is open.
    using Bookmark = qint64;
    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark mark);

    // Fields of the current row, by column name (case-insensitive). Throws for an unknown column.
    QStringList fieldNames() const { return m_columns; }
    QVariant value(const QString &column) const;
    QString text(const QString &column) const { return value(column).toString(); }
    bool isNull(const QString &column) const { return value(column).isNull(); }
    QVariant valueAt(int row, int column) const;

    // Changing rows of the selected table.
    void edit();
    void append();
    void setValue(const QString &column, const QVariant &value);
    void post();
    void cancel();
    void deleteRow();
    bool isEditing() const { return m_state != State::Browse; }

signals:
    // The rows, their values or the current row changed (a grid shows the new state).
    void rowsChanged();
    void currentChanged(int row);

private:
    enum class State { Browse, Edit, Insert };
    void bind(const QString &name, const QVariant &value);
    int columnIndex(const QString &column) const;
    void requireRow() const;
    void fail(const QString &what) const;
    void setCurrent(int row);
    QSqlDatabase database() const;
    QString targetTable() const;

    const Connection &m_connection;
    QString m_designSql;
    QString m_sql;
    QVector<QPair<QString, QVariant>> m_params;
    bool m_active = false;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    QVector<qint64> m_rowids;  // rowid of each row, -1 when not known
    QVector<Bookmark> m_marks; // bookmark of each row
    Bookmark m_nextMark = 1;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Browse;
    QVector<QVariant> m_buffer; // the row being edited or appended
    QVector<bool> m_changed;
};
