#include "office.h"

#include "settings/app_error.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <xlsxwriter.h>

// One profile for every office program the application starts, away from the operator's own, in a
// folder only this user can enter (a shared, guessable one under /tmp could be planted by anybody).
QString officeProfileFolder()
{
    static const QString folder = [] {
        const QFileDevice::Permissions ownerOnly =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        const QString mine = cache + QStringLiteral("/quelmora");
        const QString profile = mine + QStringLiteral("/office-profile");
        if (!cache.isEmpty() && QDir().mkpath(profile) && QFile::setPermissions(mine, ownerOnly)
            && QFile::setPermissions(profile, ownerOnly))
            return profile;
        // No home to write to: a fresh private folder for this run (created with owner-only rights).
        static QTemporaryDir fallback(QDir::tempPath() + QStringLiteral("/quelmora-office-XXXXXX"));
        return fallback.path();
    }();
    return folder;
}

namespace {

QStringList officeProfileArgument()
{
    return {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(officeProfileFolder()).toString()};
}

} // namespace

QString officeProgram()
{
    const QString configured = qEnvironmentVariable("QUELMORA_OFFICE");
    if (!configured.isEmpty())
        return QFileInfo(configured).isExecutable() ? configured : QString();
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

void LibreOfficeSlideShow::run(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw AppError(QStringLiteral("找不到演示文稿“%1”。").arg(path));
    const QString program = officeProgram();
    if (program.isEmpty())
        throw AppError(QStringLiteral("无法启动演示程序，请确认是否安装 LibreOffice Impress。"));
    if (!m_copies.isValid())
        throw AppError(QStringLiteral("Unable to write to %1").arg(m_copies.path()));
    const QString copy = m_copies.filePath(QFileInfo(path).fileName());
    QFile::remove(copy);
    if (!QFile::copy(path, copy))
        throw AppError(QStringLiteral("Unable to write to %1").arg(copy));
    QStringList args = officeProfileArgument();
    args << QStringLiteral("--norestore") << QStringLiteral("--nologo") << QStringLiteral("--show") << copy;
    if (!QProcess::startDetached(program, args))
        throw AppError(QStringLiteral("无法启动演示程序，请确认是否安装 LibreOffice Impress。"));
}

void writeXlsx(const QString &path, const QString &caption, const QList<SheetCell> &cells)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *book = workbook_new(file.constData());
    if (!book)
        throw AppError(QStringLiteral("Unable to write to %1").arg(path));
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    const QByteArray title = caption.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>(title.constData());
    workbook_set_properties(book, &properties);
    for (const SheetCell &cell : cells) {
        if (cell.row < 1 || cell.column < 1)
            continue;
        const QByteArray text = cell.text.toUtf8();
        // Written as text, so a value such as "=1+1" or "007" stays what it is.
        worksheet_write_string(sheet, lxw_row_t(cell.row - 1), lxw_col_t(cell.column - 1), text.constData(), nullptr);
    }
    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR)
        throw AppError(QStringLiteral("Unable to write to %1: %2").arg(path, QString::fromUtf8(lxw_strerror(result))));
}

void XlsxSpreadsheet::show(const QString &caption, const QList<SheetCell> &cells)
{
    const QString program = officeProgram();
    if (program.isEmpty() || !m_files.isValid())
        throw AppError(QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL"));
    const QString path = m_files.filePath(QStringLiteral("%1-%2.xlsx").arg(caption).arg(++m_count));
    writeXlsx(path, caption, cells);
    // "-n" opens the file as a template: the operator gets a new, unsaved "Untitled" document.
    QStringList args = officeProfileArgument();
    args << QStringLiteral("--calc") << QStringLiteral("--norestore") << QStringLiteral("--nologo")
         << QStringLiteral("-n") << path;
    if (!QProcess::startDetached(program, args))
        throw AppError(QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL"));
}

void DesktopShellOpen::open(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShellOpen::hasViewer(const QString &path) const
{
    // The desktop opens a file through xdg-open, which fails on its own, unseen, when no program is set
    // for the type; so ask for the program first, and make sure its launcher is still installed.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    // xdg-open hands web pages to the system's browser even where no program is set for them.
    if (type.inherits(QStringLiteral("text/html"))
        && !QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty())
        return true;
    QStringList names{type.name()};
    names << type.aliases();
    for (const QString &name : names) {
        QProcess query;
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), name});
        if (!query.waitForFinished(3000)) {
            query.kill();
            query.waitForFinished(1000);
            continue;
        }
        const QString launcher = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
        if (launcher.isEmpty() || query.exitCode() != 0)
            continue;
        if (!QStandardPaths::locate(QStandardPaths::ApplicationsLocation, launcher).isEmpty())
            return true;
    }
    return false;
}
