#include "judge_audit.h"

#include "settings/app_error.h"

namespace judging {

const QString JudgeAudit::kCreateTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS sjpf (id INTEGER PRIMARY KEY AUTOINCREMENT, sj TEXT, pw INTEGER, sb TEXT, "
    "lunshu INTEGER, bh INTEGER, xh INTEGER, fs TEXT, jg TEXT, cs INTEGER DEFAULT 1)");
const QString JudgeAudit::kCreatePairings = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS sjpd (pw INTEGER PRIMARY KEY, sbid TEXT, sb TEXT, yz TEXT)");

namespace {
// A database that keeps failing must not make the rows grow without end.
constexpr int kMaxKeptRows = 20000;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
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

bool JudgeAudit::commit(const QVector<AuditRow> &rows, const QString &failed, QString *error)
{
    for (const AuditRow &r : rows)
        add(r);
    if (flush(error))
        return true;
    for (qsizetype i = std::max<qsizetype>(0, m_rows.size() - rows.size()); i < m_rows.size(); ++i)
        m_rows[i].outcome = failed;
    return false;
}

void JudgeAudit::count(AuditRow row)
{
    const qint64 second = row.time.toSecsSinceEpoch();
    const QString key = QStringLiteral("%1/%2/%3").arg(row.seat).arg(row.outcome).arg(second);
    const auto it = m_counted.find(key);
    if (it != m_counted.end()) {
        ++it->count;
        return;
    }
    if (m_counted.size() >= kSeats * 16) // the rest of a flood while the database is away
        return;
    row.time = QDateTime::fromSecsSinceEpoch(second);
    m_counted.insert(key, std::move(row));
}

bool JudgeAudit::ensureTables(QString *error)
{
    if (m_tableReady)
        return true;
    try {
        m_query->close();
        m_query->setSql(kCreateTable);
        m_query->execute();
        m_query->setSql(kCreatePairings);
        m_query->execute();
        m_query->setSql(QStringLiteral("select count(*) as n from pragma_table_info('sjpf') where name = 'cs'"));
        m_query->open();
        if (m_query->value(QStringLiteral("n")).toInt() == 0) {
            m_query->close();
            m_query->setSql(QStringLiteral("alter table sjpf add column cs INTEGER DEFAULT 1"));
            m_query->execute();
        }
        m_query->close();
        m_tableReady = true;
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
    }
    return m_tableReady;
}

bool JudgeAudit::flush(QString *error, bool everything)
{
    const qint64 thisSecond = QDateTime::currentSecsSinceEpoch();
    QVector<QString> done;
    for (auto it = m_counted.cbegin(); it != m_counted.cend(); ++it) {
        if (everything || it->time.toSecsSinceEpoch() < thisSecond)
            done << it.key();
    }
    if (!m_connection) { // no contest database (a test harness): nothing to keep
        m_rows.clear();
        m_counted.clear();
        return true;
    }
    if (!m_connection->isOpen())
        return m_rows.isEmpty() && done.isEmpty();
    if (!ensureTables(error))
        return false;
    if (m_rows.isEmpty() && done.isEmpty())
        return true;
    try {
        m_connection->transaction([&] {
            m_query->close();
            m_query->setSql(QStringLiteral("insert into sjpf (sj, pw, sb, lunshu, bh, xh, fs, jg, cs) "
                                           "values (:sj, :pw, :sb, :lunshu, :bh, :xh, :fs, :jg, :cs)"));
            auto write = [&](const AuditRow &r) {
                m_query->bindText(QStringLiteral(":sj"), r.time.toString(kTimeFormat));
                m_query->bindInt(QStringLiteral(":pw"), r.seat);
                m_query->bindText(QStringLiteral(":sb"), r.device);
                m_query->bindInt(QStringLiteral(":lunshu"), r.round);
                m_query->bindInt(QStringLiteral(":bh"), r.position);
                m_query->bindInt(QStringLiteral(":xh"), int(r.seq));
                m_query->bindText(QStringLiteral(":fs"), auditText(r.value));
                m_query->bindText(QStringLiteral(":jg"), r.outcome);
                m_query->bindInt(QStringLiteral(":cs"), r.count);
                m_query->execute();
            };
            for (const AuditRow &r : std::as_const(m_rows))
                write(r);
            for (const QString &key : std::as_const(done))
                write(m_counted.value(key));
        });
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    m_rows.clear();
    for (const QString &key : std::as_const(done))
        m_counted.remove(key);
    return true;
}

QHash<int, Pairing> JudgeAudit::pairings(QString *error)
{
    QHash<int, Pairing> found;
    if (!m_connection || !m_connection->isOpen() || !ensureTables(error))
        return found;
    try {
        m_query->close();
        m_query->setSql(QStringLiteral("select pw, sbid, sb, yz from sjpd order by pw"));
        m_query->open();
        for (m_query->first(); !m_query->eof(); m_query->next()) {
            const int seat = m_query->value(QStringLiteral("pw")).toInt();
            Pairing p{m_query->text(QStringLiteral("sbid")), m_query->text(QStringLiteral("sb")),
                      QByteArray::fromBase64(m_query->text(QStringLiteral("yz")).toLatin1())};
            if (SeatBook::valid(seat) && !p.id.isEmpty() && p.verifier.size() == 32)
                found.insert(seat, p);
        }
        m_query->close();
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
    }
    return found;
}

bool JudgeAudit::storePairing(int seat, const Pairing &pairing, QString *error)
{
    if (!m_connection || !m_connection->isOpen())
        return true;
    if (!ensureTables(error))
        return false;
    try {
        m_connection->transaction([&] {
            m_query->close();
            m_query->setSql(QStringLiteral("insert or replace into sjpd (pw, sbid, sb, yz) values (:pw, :sbid, :sb, :yz)"));
            m_query->bindInt(QStringLiteral(":pw"), seat);
            m_query->bindText(QStringLiteral(":sbid"), pairing.id);
            m_query->bindText(QStringLiteral(":sb"), pairing.device);
            m_query->bindText(QStringLiteral(":yz"), QString::fromLatin1(pairing.verifier.toBase64()));
            m_query->execute();
        });
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

bool JudgeAudit::forgetPairing(int seat, QString *error)
{
    if (!m_connection || !m_connection->isOpen())
        return true;
    if (!ensureTables(error))
        return false;
    try {
        m_query->close();
        m_query->setSql(seat == 0 ? QStringLiteral("delete from sjpd") : QStringLiteral("delete from sjpd where pw = :pw"));
        if (seat != 0)
            m_query->bindInt(QStringLiteral(":pw"), seat);
        m_query->execute();
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

} // namespace judging
