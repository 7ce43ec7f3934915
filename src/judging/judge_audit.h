#pragma once
// The audit of the judges' phones: every score a phone sent, taken or refused and why, in the table
// "sjpf" of the contest database, so a disputed score can be traced. Rows are gathered and written in one
// transaction a few times a second, so a busy minute costs a few disk syncs rather than one per score.
// Secrets never reach the table.
#include "data/connection.h"
#include "data/dataset.h"

#include <QDateTime>
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
    QString value;  // as the phone sent it
    QString outcome;
};

class JudgeAudit {
public:
    // The table as schema.sql declares it, created in a database made before it existed.
    static const QString kCreateTable;

    void attach(Connection *connection);
    bool attached() const { return m_connection != nullptr; }
    void add(AuditRow row);
    // Writes the gathered rows; false (rows kept for the next try, the error in `error`) when the database
    // refused them.
    bool flush(QString *error = nullptr);
    int pending() const { return int(m_rows.size()); }

private:
    bool ensureTable(QString *error);

    Connection *m_connection = nullptr;
    std::unique_ptr<Dataset> m_query;
    bool m_tableReady = false;
    QVector<AuditRow> m_rows;
};

} // namespace judging
