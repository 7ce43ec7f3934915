#include "sql_error_text.h"

#include <QSqlError>

namespace {

// SQLite's primary result codes (an extended code carries its primary code in the low byte).
QString whatHappened(int code, const QString &driverText)
{
    switch (code & 0xff) {
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
        return QStringLiteral("数据库正被其他程序占用（已锁定），请稍后再试。");
    case 8:  // SQLITE_READONLY
        return QStringLiteral("数据库文件是只读的，无法保存。");
    case 10: // SQLITE_IOERR
        return QStringLiteral("读写数据库文件时出错。");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("数据库文件已损坏。");
    case 13: // SQLITE_FULL
        return QStringLiteral("磁盘已满，数据没有保存。");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("无法打开数据库文件。");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("该文件不是数据库文件。");
    default:
        break;
    }
    if (driverText.contains(QLatin1String("no such table")))
        return QStringLiteral("数据库中缺少数据表。");
    if (driverText.contains(QLatin1String("no such column")))
        return QStringLiteral("数据库中缺少字段。");
    return QStringLiteral("数据库操作失败。");
}

} // namespace

QString sqlErrorText(const QSqlError &error)
{
    const QString driverText = error.text();
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    return whatHappened(numeric ? code : -1, driverText) + QLatin1Char('\n') + driverText;
}

QString missingDatabaseText(const QString &path)
{
    return QStringLiteral("找不到数据库文件。\nCould not find file '%1'.").arg(path);
}
