#include "judge_audit.h"

#include "settings/app_error.h"

namespace judging {

const QString JudgeAudit::kCreateTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS sjpf (id INTEGER PRIMARY KEY AUTOINCREMENT, sj TEXT, pw INTEGER, sb TEXT, "
    "lunshu INTEGER, bh INTEGER, xh INTEGER, fs TEXT, jg TEXT)");

namespace {
// A database that keeps failing must not make the rows grow without end.
constexpr int kMaxKeptRows = 20000;
} // namespace

void JudgeAudit::attach(Connection *connection)
{
    m_connection = connection;
    m_query = connection ? std::make_unique<Dataset>(QStringLiteral("adoq_sjpf"), *connection) : nullptr;
    m_tableReady = false;
}

void JudgeAudit::add(AuditRow row)
{
    if (m_rows.size() >= kMaxKeptRows)
        m_rows.removeFirst();
    m_rows.push_back(std::move(row));
}

bool JudgeAudit::ensureTable(QString *error)
{
    if (m_tableReady)
        return true;
    try {
        m_query->close();
        m_query->setSql(kCreateTable);
        m_query->execute();
        m_tableReady = true;
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
    }
    return m_tableReady;
}

bool JudgeAudit::flush(QString *error)
{
    if (!m_connection || !m_connection->isOpen())
        return m_rows.isEmpty();
    if (!ensureTable(error))
        return false;
    if (m_rows.isEmpty())
        return true;
    try {
        m_connection->transaction([&] {
            m_query->close();
            m_query->setSql(QStringLiteral("insert into sjpf (sj, pw, sb, lunshu, bh, xh, fs, jg) "
                                           "values (:sj, :pw, :sb, :lunshu, :bh, :xh, :fs, :jg)"));
            for (const AuditRow &r : std::as_const(m_rows)) {
                m_query->bindText(QStringLiteral(":sj"), r.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
                m_query->bindInt(QStringLiteral(":pw"), r.seat);
                m_query->bindText(QStringLiteral(":sb"), r.device);
                m_query->bindInt(QStringLiteral(":lunshu"), r.round);
                m_query->bindInt(QStringLiteral(":bh"), r.position);
                m_query->bindInt(QStringLiteral(":xh"), int(r.seq));
                m_query->bindText(QStringLiteral(":fs"), r.value);
                m_query->bindText(QStringLiteral(":jg"), r.outcome);
                m_query->execute();
            }
        });
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    m_rows.clear();
    return true;
}

} // namespace judging
