#include "sql_error_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// SQLite's primary result codes (an extended code carries its primary code in the low byte).
enum : int {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
};

// The primary code, from the driver's number or, where the driver gave none (a failed commit), its text.
int primaryCode(const QSqlError &error)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    if (numeric)
        return code & 0xff;
    const QString text = error.text();
    if (text.contains(QLatin1String("disk is full")))
        return kFull;
    if (text.contains(QLatin1String("disk I/O error")))
        return kIoError;
    if (text.contains(QLatin1String("readonly database")))
        return kReadOnly;
    if (text.contains(QLatin1String("unable to open database")))
        return kCantOpen;
    if (text.contains(QLatin1String("database is locked")))
        return kBusy;
    return -1;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString readOnlyProblem(const QString &databasePath)
{
    const QString folder = QFileInfo(databasePath).absolutePath();
    const QByteArray folderName = QFile::encodeName(folder);
    struct statvfs disk {};
    if ((::statvfs(folderName.constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY))
        || ::access(folderName.constData(), W_OK) != 0)
        return QStringLiteral("数据库所在的文件夹“%1”是只读的，数据无法保存。").arg(native(folder));
    const QByteArray fileName = QFile::encodeName(databasePath);
    if (::access(fileName.constData(), F_OK) == 0 && ::access(fileName.constData(), W_OK) != 0)
        return QStringLiteral("数据库文件“%1”是只读的，数据无法保存。").arg(native(databasePath));
    return {};
}

QString storageProblem(const QString &databasePath)
{
    if (databasePath.isEmpty())
        return {};
    const QString readOnly = readOnlyProblem(databasePath);
    if (!readOnly.isEmpty())
        return readOnly;
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(QFileInfo(databasePath).absolutePath()).constData(), &disk) == 0
        && (disk.f_bavail == 0 || disk.f_bfree == 0))
        return QStringLiteral("磁盘已满，数据没有保存。");
    return {};
}

QString sqlErrorText(const QSqlError &error, const QString &databasePath)
{
    const QString driverText = error.text();
    const int code = primaryCode(error);
    QString cause;
    switch (code) {
    case kReadOnly:
    case kIoError:
    case kFull:
    case kCantOpen:
        // What the disk says is the cause: SQLite reports a full disk or a read-only folder in many ways.
        cause = storageProblem(databasePath);
        break;
    default:
        break;
    }
    if (cause.isEmpty()) {
        switch (code) {
        case kBusy:
        case kLocked:
            cause = QStringLiteral("数据库正被其他程序占用（已锁定），请稍后再试。");
            break;
        case kReadOnly:
            cause = QStringLiteral("数据库文件是只读的，数据无法保存。");
            break;
        case kIoError:
            cause = QStringLiteral("读写数据库文件时出错（磁盘故障或文件被移走），数据可能没有保存。");
            break;
        case kCorrupt:
            cause = QStringLiteral("数据库文件已损坏。");
            break;
        case kFull:
            cause = QStringLiteral("磁盘已满，数据没有保存。");
            break;
        case kCantOpen:
            cause = QStringLiteral("无法打开数据库文件。");
            break;
        case kNotADatabase:
            cause = QStringLiteral("该文件不是数据库文件。");
            break;
        default:
            if (driverText.contains(QLatin1String("no such table")))
                cause = QStringLiteral("数据库中缺少数据表。");
            else if (driverText.contains(QLatin1String("no such column")))
                cause = QStringLiteral("数据库中缺少字段。");
            else
                cause = QStringLiteral("数据库操作失败。");
        }
    }
    return cause + QLatin1Char('\n') + driverText;
}

QString missingDatabaseText(const QString &path)
{
    return QStringLiteral("找不到数据库文件。\nCould not find file '%1'.").arg(path);
}
