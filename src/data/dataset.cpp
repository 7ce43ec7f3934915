#include "dataset.h"

#include "settings/app_error.h"
#include "sql_error_text.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kRowidColumn = QStringLiteral("qm_rowid__");

bool isSelect(const QString &sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*select\\s"), QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

// "select x from t ..." becomes "select rowid as qm_rowid__, x from t ...", so that a row can be written
// back. Statements that cannot carry the rowid fall back to the statement as it stands.
QString withRowid(const QString &sql)
{
    static const QRegularExpression re(QStringLiteral("^(\\s*select)(\\s+)(?!distinct\\b)"),
                                       QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    const auto m = re.match(sql);
    if (!m.hasMatch())
        return {};
    out.insert(m.capturedEnd(1), QStringLiteral(" rowid as ") + kRowidColumn + QLatin1Char(','));
    return out;
}

bool mentionsParam(const QString &sql, const QString &name)
{
    const QRegularExpression re(QRegularExpression::escape(name) + QStringLiteral("(?![A-Za-z0-9_])"));
    return re.match(sql).hasMatch();
}

} // namespace

Dataset::Dataset(const QString &name, const Connection &connection, QString designSql, QObject *parent)
    : QObject(parent), m_connection(connection), m_designSql(std::move(designSql)), m_sql(m_designSql)
{
    setObjectName(name);
}

QSqlDatabase Dataset::database() const
{
    return m_connection.database();
}

void Dataset::fail(const QString &what) const
{
    throw AppError(what);
}

void Dataset::close()
{
    const bool had = m_active || !m_rows.isEmpty();
    m_active = false;
    m_state = State::Browse;
    m_columns.clear();
    m_rows.clear();
    m_rowids.clear();
    m_marks.clear();
    m_current = -1;
    m_eof = m_bof = true;
    if (had)
        emit rowsChanged();
}

void Dataset::setSql(const QString &sql)
{
    if (m_active)
        close();
    m_sql = sql;
    m_params.clear();
}

void Dataset::bind(const QString &name, const QVariant &value)
{
    for (auto &p : m_params) {
        if (p.first == name) {
            p.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

void Dataset::bindText(const QString &name, const QString &value)
{
    bind(name, QVariant(value));
}

void Dataset::bindInt(const QString &name, int value)
{
    bind(name, QVariant(value));
}

void Dataset::bindBool(const QString &name, bool value)
{
    bindInt(name, value ? 1 : 0);
}

namespace {

void bindAll(QSqlQuery &q, const QString &sql, const QVector<QPair<QString, QVariant>> &params)
{
    for (const auto &p : params) {
        const QString name = p.first.startsWith(QLatin1Char(':')) ? p.first : QLatin1Char(':') + p.first;
        if (mentionsParam(sql, name))
            q.bindValue(name, p.second);
    }
}

} // namespace

void Dataset::open()
{
    close();
    QSqlDatabase db = database();
    if (!isSelect(m_sql))
        fail(QStringLiteral("数据库查询出错：这条语句不返回数据。\nCommandText does not return a result set"));

    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool withIds = false;
    const QString rewritten = withRowid(m_sql);
    if (!rewritten.isEmpty() && q.prepare(rewritten)) {
        withIds = true;
    } else if (!q.prepare(m_sql)) {
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    }
    bindAll(q, withIds ? rewritten : m_sql, m_params);
    if (!q.exec())
        fail(sqlErrorText(q.lastError(), db.databaseName()));

    const QSqlRecord rec = q.record();
    const int first = withIds ? 1 : 0;
    for (int c = first; c < rec.count(); ++c)
        m_columns.append(rec.fieldName(c));
    while (q.next()) {
        QVector<QVariant> row;
        row.reserve(rec.count() - first);
        for (int c = first; c < rec.count(); ++c)
            row.append(q.value(c));
        m_rows.append(std::move(row));
        m_rowids.append(withIds && !q.value(0).isNull() ? q.value(0).toLongLong() : -1);
        m_marks.append(m_nextMark++);
    }
    m_active = true;
    emit rowsChanged();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
}

int Dataset::execute()
{
    close();
    QSqlDatabase db = database();
    QSqlQuery q(db);
    if (!q.prepare(m_sql))
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    bindAll(q, m_sql, m_params);
    if (!q.exec())
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    return q.numRowsAffected();
}

void Dataset::setCurrent(int row)
{
    m_current = row;
    m_bof = m_eof = m_rows.isEmpty();
    emit currentChanged(row);
}

void Dataset::first()
{
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
}

void Dataset::last()
{
    setCurrent(int(m_rows.size()) - 1);
    m_eof = true;
}

void Dataset::next()
{
    if (m_rows.isEmpty())
        return;
    if (m_current >= m_rows.size() - 1) {
        m_eof = true; // moving past the last row sets eof and keeps the row
        return;
    }
    setCurrent(m_current + 1);
}

void Dataset::prior()
{
    if (m_rows.isEmpty())
        return;
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    setCurrent(m_current - 1);
}

void Dataset::moveTo(int row)
{
    if (row < 0 || row >= m_rows.size())
        fail(QStringLiteral("数据库查询出错：没有第 %1 行。\nRow %1 is out of range").arg(row));
    setCurrent(row);
}

Dataset::Bookmark Dataset::bookmark() const
{
    return m_current >= 0 && m_current < m_marks.size() ? m_marks[m_current] : 0;
}

bool Dataset::gotoBookmark(Bookmark mark)
{
    const qsizetype row = m_marks.indexOf(mark);
    if (row < 0)
        return false;
    setCurrent(int(row));
    return true;
}

int Dataset::columnIndex(const QString &column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    fail(QStringLiteral("数据库中缺少字段“%2”。\n%1: Field '%2' not found").arg(objectName(), column));
    return -1;
}

void Dataset::requireRow() const
{
    if (!m_active)
        fail(QStringLiteral("数据库查询出错：查询没有打开。\n%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    if (m_current < 0 || m_current >= m_rows.size())
        fail(QStringLiteral("数据库查询出错：当前没有记录。\nEither BOF or EOF is True, or the current record has been deleted. "
                            "Requested operation requires a current record."));
}

QVariant Dataset::value(const QString &column) const
{
    const int c = columnIndex(column);
    if (m_state != State::Browse)
        return m_buffer[c];
    requireRow();
    return m_rows[m_current][c];
}

QVariant Dataset::valueAt(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    return m_rows[row][column];
}

QString Dataset::targetTable() const
{
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(m_sql);
    if (!m.hasMatch())
        fail(QStringLiteral("数据库查询出错：语句没有指明要修改的数据表。\n%1: the statement names no table to change").arg(objectName()));
    return m.captured(1);
}

void Dataset::edit()
{
    if (m_state != State::Browse)
        return;
    requireRow();
    m_buffer = m_rows[m_current];
    m_changed = QVector<bool>(m_columns.size(), false);
    m_state = State::Edit;
}

void Dataset::append()
{
    if (!m_active)
        fail(QStringLiteral("数据库查询出错：查询没有打开。\n%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    if (m_state != State::Browse)
        post();
    m_buffer = QVector<QVariant>(m_columns.size());
    m_changed = QVector<bool>(m_columns.size(), false);
    m_state = State::Insert;
}

void Dataset::setValue(const QString &column, const QVariant &value)
{
    if (m_state == State::Browse)
        edit();
    const int c = columnIndex(column);
    m_buffer[c] = value.typeId() == QMetaType::Bool ? QVariant(value.toBool() ? 1 : 0) : value;
    m_changed[c] = true;
}

void Dataset::post()
{
    if (m_state == State::Browse)
        return;
    QSqlDatabase db = database();
    const QString table = targetTable();
    QStringList names;
    QVector<QVariant> values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_changed[c]) {
            names.append(m_columns[c]);
            values.append(m_buffer[c]);
        }
    }
    QSqlQuery q(db);
    if (m_state == State::Edit) {
        const qint64 rowid = m_rowids.value(m_current, -1);
        if (rowid < 0)
            fail(QStringLiteral("数据库查询出错：这一行不能修改。\n%1: this row cannot be changed").arg(objectName()));
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : std::as_const(names))
                sets.append(n + QStringLiteral("=?"));
            if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table, sets.join(QLatin1Char(',')))))
                fail(sqlErrorText(q.lastError(), db.databaseName()));
            for (const QVariant &v : std::as_const(values))
                q.addBindValue(v);
            q.addBindValue(rowid);
            if (!q.exec())
                fail(sqlErrorText(q.lastError(), db.databaseName()));
        }
        m_rows[m_current] = m_buffer;
        m_state = State::Browse;
        emit rowsChanged();
        setCurrent(m_current);
        return;
    }

    // Insert: store the set columns, then read the whole new row back for its defaults and id.
    QString statement;
    if (names.isEmpty()) {
        statement = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
    } else {
        QStringList marks(names.size(), QStringLiteral("?"));
        statement = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    }
    if (!q.prepare(statement))
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    for (const QVariant &v : std::as_const(values))
        q.addBindValue(v);
    if (!q.exec())
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    const qint64 rowid = q.lastInsertId().toLongLong();
    QVector<QVariant> row = m_buffer;
    QSqlQuery back(db);
    if (back.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid=?").arg(table))) {
        back.addBindValue(rowid);
        if (back.exec() && back.next()) {
            const QSqlRecord rec = back.record();
            for (int c = 0; c < m_columns.size(); ++c) {
                const int i = rec.indexOf(m_columns[c]);
                if (i >= 0)
                    row[c] = back.value(i);
            }
        }
    }
    m_rows.append(row);
    m_rowids.append(rowid);
    m_marks.append(m_nextMark++);
    m_state = State::Browse;
    emit rowsChanged();
    setCurrent(int(m_rows.size()) - 1);
}

void Dataset::cancel()
{
    m_state = State::Browse;
    m_buffer.clear();
}

void Dataset::deleteRow()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    requireRow();
    const qint64 rowid = m_rowids.value(m_current, -1);
    if (rowid < 0)
        fail(QStringLiteral("数据库查询出错：这一行不能删除。\n%1: this row cannot be deleted").arg(objectName()));
    const QSqlDatabase db = database();
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(targetTable())))
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    q.addBindValue(rowid);
    if (!q.exec())
        fail(sqlErrorText(q.lastError(), db.databaseName()));
    m_rows.removeAt(m_current);
    m_rowids.removeAt(m_current);
    m_marks.removeAt(m_current);
    emit rowsChanged();
    setCurrent(std::min(m_current, int(m_rows.size()) - 1));
}
