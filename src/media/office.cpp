#include "office.h"

#include "settings/app_error.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <xlsxwriter.h>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#endif

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

// The document kinds the program opens: the export's spreadsheet and the slide shows' presentations.
const char *const kFactories[] = {"com.sun.star.sheet.SpreadsheetDocument", "com.sun.star.presentation.PresentationDocument"};

QString factoryPath(const char *factory)
{
    return QStringLiteral("/org.openoffice.Setup/Office/Factories/org.openoffice.Setup:Factory['%1']")
        .arg(QLatin1String(factory));
}

// Called before every start: the display the windows open on.
void fitWindowsBeforeStart()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    fitOfficeWindows(officeProfileFolder(), screen ? screen->geometry() : QRect(0, 0, 1024, 768));
}

// On X without a window manager nobody moves the keyboard to a newly mapped window: it stays on the
// screen that started the show (or the spreadsheet), which then takes Esc and Space meant for it. Handing
// the keyboard to the pointer (PointerRoot) lets the full-screen show have it once it is up, and the
// stage again when the show ends. Elsewhere (no X, or a window manager that activates the show) it
// changes nothing that matters.
void handKeyboardToPointer()
{
#if QT_CONFIG(xcb)
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // libxcb is loaded already, by the platform plug-in: looked up there, not linked.
    struct Cookie {
        unsigned int sequence;
    };
    using SetInputFocus = Cookie (*)(xcb_connection_t *, quint8, quint32, quint32);
    using Flush = int (*)(xcb_connection_t *);
    static const auto setFocus = reinterpret_cast<SetInputFocus>(QLibrary::resolve(QStringLiteral("xcb"), 1, "xcb_set_input_focus"));
    static const auto flush = reinterpret_cast<Flush>(QLibrary::resolve(QStringLiteral("xcb"), 1, "xcb_flush"));
    if (!setFocus || !flush)
        return;
    constexpr quint8 kPointerRoot = 1; // XCB_INPUT_FOCUS_POINTER_ROOT, as the focus and as the revert
    constexpr quint32 kCurrentTime = 0;
    setFocus(x11->connection(), kPointerRoot, kPointerRoot, kCurrentTime);
    flush(x11->connection());
#endif
}

} // namespace

void fitOfficeWindows(const QString &profileFolder, const QRect &area)
{
    const QString path = profileFolder + QStringLiteral("/user/registrymodifications.xcu");
    QString text;
    if (QFile file(path); file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll());
    const QString end = QStringLiteral("</oor:items>");
    if (!text.contains(end)) {
        // No profile yet (or a damaged one, which the office program could not read either).
        text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                              "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n")
               + end + QLatin1Char('\n');
    }
    // Normal state (1) over the whole area, the same when maximised.
    const QString place = QStringLiteral("%1,%2,%3,%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
    const QString attributes = place + QStringLiteral(";1;") + place + QLatin1Char(';');
    QString items;
    for (const char *factory : kFactories) {
        const QString item = QStringLiteral("<item oor:path=\"%1\"><prop oor:name=\"ooSetupFactoryWindowAttributes\"")
                                 .arg(factoryPath(factory));
        // The office program writes one item a line: the stored window place of this kind goes.
        const QRegularExpression stored(QRegularExpression::escape(item) + QStringLiteral("[^\n]*?</item>\n?"));
        text.remove(stored);
        items += item + QStringLiteral(" oor:op=\"fuse\"><value>") + attributes + QStringLiteral("</value></prop></item>\n");
    }
    text.insert(text.lastIndexOf(end), items);

    if (!QDir().mkpath(QFileInfo(path).path()))
        return;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(text.toUtf8());
    // A profile that cannot be written keeps what it had: the office program still starts.
    if (!out.flush() || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return;
    }
    out.commit();
}

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
    fitWindowsBeforeStart();
    QStringList args = officeProfileArgument();
    args << QStringLiteral("--norestore") << QStringLiteral("--nologo") << QStringLiteral("--show") << copy;
    if (!QProcess::startDetached(program, args))
        throw AppError(QStringLiteral("无法启动演示程序，请确认是否安装 LibreOffice Impress。"));
    handKeyboardToPointer();
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
    fitWindowsBeforeStart();
    // "-n" opens the file as a template: the operator gets a new, unsaved "Untitled" document.
    QStringList args = officeProfileArgument();
    args << QStringLiteral("--calc") << QStringLiteral("--norestore") << QStringLiteral("--nologo")
         << QStringLiteral("-n") << path;
    if (!QProcess::startDetached(program, args))
        throw AppError(QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL"));
    handKeyboardToPointer(); // the operator types into the spreadsheet under the pointer
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
