#include "small_disk.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
const char kFiller[] = ".filler";
}

SmallDisk::SmallDisk(const QString &folder, qint64 bytes) : m_folder(folder)
{
    QDir().mkpath(folder);
    // What lies in the folder now goes onto the new disk.
    QHash<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    m_options = QStringLiteral("size=%1,mode=0755").arg(bytes);
    if (::mount("quelmora-test", QFile::encodeName(folder).constData(), "tmpfs", 0,
                m_options.toLatin1().constData()) != 0) {
        m_reason = QStringLiteral("a small tmpfs cannot be mounted here (%1): run as root to test full and read-only disks")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile f(dir.filePath(it.key()));
        if (f.open(QIODevice::WriteOnly))
            f.write(it.value());
    }
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    const QByteArray path = QFile::encodeName(QDir(m_folder).filePath(QString::fromLatin1(kFiller)));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return;
    const QByteArray block(64 * 1024, 'x');
    for (qsizetype chunk = block.size(); chunk > 0; chunk /= 2) {
        while (::write(fd, block.constData(), size_t(chunk)) > 0) {
        }
    }
    ::fsync(fd);
    ::close(fd);
}

void SmallDisk::unfill()
{
    QFile::remove(QDir(m_folder).filePath(QString::fromLatin1(kFiller)));
}

void SmallDisk::setReadOnly(bool readOnly)
{
    if (!m_mounted)
        return;
    ::mount("quelmora-test", QFile::encodeName(m_folder).constData(), "tmpfs",
            MS_REMOUNT | (readOnly ? MS_RDONLY : 0), m_options.toLatin1().constData());
}
