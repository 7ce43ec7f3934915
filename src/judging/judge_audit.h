#pragma once
// The judges' phones in the contest database. The audit: every score a phone sent, taken or refused and
// why, in the table "sjpf", so a disputed score can be traced; a score is written and committed before the
// phone is told it arrived. Messages that are not scores as the page sends them, and those over the rate,
// are kept as counts per device and second (column "cs"), so a flood costs a row a second, not a row a
// message. The pairings: each seat's paired device in "sjpd", as its id, label and the hash of its key,
// so a restart keeps the judges paired. Secrets never reach either table.
#include "data/connection.h"
#include "data/dataset.h"
#include "judging_rules.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

namespace judging {

struct AuditRow {
    QDateTime time;
    int seat = 0;
    QString device; // the device's label
    int round = 0;
    int position = 0;
    qint64 seq = 0;
    QString value;  // as the phone sent it (see auditText)
    QString outcome;
    int count = 1;  // messages this row stands for
};

class JudgeAudit {
public:
    // The table as schema.sql declares it, created in a database made before it existed.
    static const QString kCreateTable;
    static const QString kCreatePairings;

    void attach(Connection *connection);
    bool attached() const { return m_connection != nullptr; }
    void add(AuditRow row);
    // Writes the rows and what was gathered before them now, in one commit; false when the database
    // refused them, and they are then kept with the outcome `failed` instead, to be written later.
    bool commit(const QVector<AuditRow> &rows, const QString &failed, QString *error = nullptr);
    // Looks for the tables again at the next write (the database may have been replaced meanwhile).
    void recheck() { m_tableReady = false; }
    // Counts a message with the others of its seat, outcome and second.
    void count(AuditRow row);
    // Writes the gathered rows and the counts of seconds gone by (all of them with `everything`); false
    // (rows kept for the next try, the error in `error`) when the database refused them.
    bool flush(QString *error = nullptr, bool everything = false);
    int pending() const { return int(m_rows.size() + m_counted.size()); }

    // The stored pairings, seat → pairing; empty without a database.
    QHash<int, Pairing> pairings(QString *error = nullptr);
    bool storePairing(int seat, const Pairing &pairing, QString *error = nullptr);
    bool forgetPairing(int seat, QString *error = nullptr); // seat 0: every seat

private:
    bool ensureTables(QString *error);

    Connection *m_connection = nullptr;
    std::unique_ptr<Dataset> m_query;
    bool m_tableReady = false;
    QVector<AuditRow> m_rows;
    QHash<QString, AuditRow> m_counted; // by seat, outcome and second
};

} // namespace judging
