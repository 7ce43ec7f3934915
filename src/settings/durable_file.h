#pragma once
// Writes that survive a full disk, a read-only folder, a kill and a power cut. A file is replaced whole
// through a temporary file beside it ("<name>.XXXXXX"): every byte is written and synced before the
// rename, so a failure at any step leaves the old file as it was, byte for byte. A failure says its cause
// in Chinese first ("磁盘已满，数据没有保存。"), then the technical detail.
#include "app_error.h"

#include <QByteArray>
#include <QString>

namespace durable {

// A write that did not happen: the cause in the operator's words, and the detail for whoever mends it.
class WriteError : public AppError {
public:
    WriteError(QString cause, QString detail)
        : AppError(cause + QLatin1Char('\n') + detail), m_cause(std::move(cause)), m_detail(std::move(detail)) {}
    const QString &cause() const { return m_cause; }
    const QString &detail() const { return m_detail; }

private:
    QString m_cause;
    QString m_detail;
};

// The Chinese sentence for a failed write of `path` with the system's error number.
QString causeText(int error, const QString &path);

// Replaces the file's contents with `bytes`, keeping its permissions; a symbolic link is followed.
// `detail` opens the technical part of the message ("Unable to write to <path>" when empty).
// Throws WriteError; the file is then as it was and no temporary file is left.
void replaceFile(const QString &path, const QByteArray &bytes, const QString &detail = {});

// Appends `bytes` to the file, creating it when missing, and syncs it. On failure the file is cut back
// to its old size, so no part of the bytes stays, and WriteError is thrown.
void appendFile(const QString &path, const QByteArray &bytes, const QString &detail = {});

// Cuts the file back to `size` bytes and syncs it; throws WriteError.
void truncateFile(const QString &path, qint64 size, const QString &detail = {});

// Removes the file, when it is there, and makes its removal durable; throws WriteError.
void removeFile(const QString &path, const QString &detail = {});

// Removes temporary files that a write of `path` killed half way left beside it.
void removeLeftovers(const QString &path);

} // namespace durable
