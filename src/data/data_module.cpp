#include "data_module.h"

#include <QAtomicInt>

namespace {
// Each data module gets its own connection name, so tests can build several in one process.
QString uniqueConnectionName()
{
    static QAtomicInt counter;
    const int n = counter.fetchAndAddRelaxed(1);
    return n == 0 ? QStringLiteral("ADOConnection1") : QStringLiteral("ADOConnection1_%1").arg(n);
}
} // namespace

TData::TData(QObject *parent)
    : QObject(parent),
      ADOConnection1(uniqueConnectionName()),
      adoq_tmcx(QStringLiteral("adoq_tmcx"), ADOConnection1, QStringLiteral("select * from tiku"), this),
      adoq_ls(QStringLiteral("adoq_ls"), ADOConnection1, {}, this),
      adoq_sy(QStringLiteral("adoq_sy"), ADOConnection1, {}, this),
      adoq_ls1(QStringLiteral("adoq_ls1"), ADOConnection1, {}, this),
      adoq_ctcx(QStringLiteral("adoq_ctcx"), ADOConnection1, {}, this),
      adoq_xscx(QStringLiteral("adoq_xscx"), ADOConnection1, QStringLiteral("select * from xsb"), this),
      adoq_xswh(QStringLiteral("adoq_xswh"), ADOConnection1, QStringLiteral("select * from pwdf"), this)
{
    setObjectName(QStringLiteral("Data"));
}

void TData::connectTo(const QString &databasePath)
{
    ADOConnection1.open(databasePath);
}
