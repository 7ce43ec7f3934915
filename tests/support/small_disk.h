#pragma once
// A real small disk for the tests of full and read-only disks: a tmpfs mounted over a folder (the files
// already in it are copied onto it), unmounted again when the object goes. Mounting needs root; where it
// is not permitted, ok() is false and reason() says why, for QSKIP.
#include <QString>

class SmallDisk {
public:
    explicit SmallDisk(const QString &folder, qint64 bytes = 1024 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool ok() const { return m_mounted; }
    const QString &reason() const { return m_reason; }

    // Takes every free byte with a filler file: the next write of any size fails with ENOSPC.
    void fill();
    // Frees what fill() took.
    void unfill();
    // Makes the whole disk read-only (or writable again).
    void setReadOnly(bool readOnly);

private:
    QString m_folder;
    QString m_options;
    bool m_mounted = false;
    QString m_reason;
};

// Skips the test, saying why, when the disk could not be mounted.
#define QUELMORA_REQUIRE_SMALL_DISK(disk)                                                                      \
    do {                                                                                                       \
        if (!(disk).ok())                                                                                      \
            QSKIP(qPrintable((disk).reason()));                                                                \
    } while (false)
