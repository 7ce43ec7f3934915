#include "durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durable {

namespace {

QString folderOf(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(int error, const QString &path, const QString &detail)
{
    const QString head = detail.isEmpty() ? QStringLiteral("Unable to write to %1").arg(path) : detail;
    throw WriteError(causeText(error, path), head + QStringLiteral(" (") + systemText(error) + QLatin1Char(')'));
}

bool writeEverything(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) { // no progress and no error: treat as a full disk
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Makes a rename or removal in the folder durable. Some file systems cannot sync a folder: that is no
// failure of the write.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The file a write of `path` goes to: the target of a symbolic link, otherwise the path itself.
QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

QString randomSuffix()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return s;
}

} // namespace

QString causeText(int error, const QString &path)
{
    const QString folder = folderOf(path);
    const QString file = QDir::toNativeSeparators(path);
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("磁盘已满，数据没有保存。");
    case EROFS:
    case EACCES:
    case EPERM:
        return QStringLiteral("文件夹“%1”是只读的，数据没有保存。").arg(folder);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹“%1”不存在，数据没有保存。").arg(folder);
    case EIO:
        return QStringLiteral("读写磁盘时出错，数据没有保存。");
    case EISDIR:
        return QStringLiteral("“%1”是一个文件夹，不是文件，数据没有保存。").arg(file);
    default:
        return QStringLiteral("无法写入文件“%1”，数据没有保存。").arg(file);
    }
}

void replaceFile(const QString &path, const QByteArray &bytes, const QString &detail)
{
    const QString target = targetOf(path);
    const QByteArray native = QFile::encodeName(target);
    struct stat old {};
    const bool existed = ::stat(native.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        fail(EISDIR, path, detail);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(target + QLatin1Char('.') + randomSuffix());
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        fail(errno, path, detail);

    int error = 0;
    if (existed && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    if (!error && !writeEverything(fd, bytes))
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), native.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        fail(error, path, detail);
    }
    syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
}

void appendFile(const QString &path, const QByteArray &bytes, const QString &detail)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(errno, path, detail);
    struct stat before {};
    int error = 0;
    if (::fstat(fd, &before) != 0)
        error = errno;
    if (!error && !writeEverything(fd, bytes))
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (error) {
        // No part of a failed append may stay: the file reads as before.
        if (::ftruncate(fd, before.st_size) == 0)
            ::fsync(fd);
        ::close(fd);
        fail(error, path, detail);
    }
    if (::close(fd) != 0)
        fail(errno, path, detail);
    if (before.st_size == 0)
        syncFolder(QFile::encodeName(QFileInfo(path).absolutePath())); // it may be new
}

void truncateFile(const QString &path, qint64 size, const QString &detail)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(errno, path, detail);
    int error = 0;
    if (::ftruncate(fd, off_t(size)) != 0 || ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    if (error)
        fail(error, path, detail);
}

void removeFile(const QString &path, const QString &detail)
{
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) != 0) {
        if (errno == ENOENT)
            return;
        fail(errno, path, detail);
    }
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
}

void removeLeftovers(const QString &path)
{
    const QFileInfo info(targetOf(path));
    const QDir folder = info.absoluteDir();
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QStringList names = folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (temporary.match(name).hasMatch())
            QFile::remove(folder.filePath(name));
    }
}

} // namespace durable
