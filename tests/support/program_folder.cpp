#include "program_folder.h"

#include "settings/app_error.h"
#include "settings/ini_file.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString scratchConnection()
{
    static QAtomicInt n;
    return QStringLiteral("test_support_%1").arg(n.fetchAndAddRelaxed(1));
}

template <typename Fn>
void withDatabase(const QString &path, Fn &&fn)
{
    const QString name = scratchConnection();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw AppError(db.lastError().text());
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

QString schemaPath()
{
    const QString fromEnv = qEnvironmentVariable("QUELMORA_SCHEMA");
    return fromEnv.isEmpty() ? QStringLiteral(QUELMORA_SOURCE_SCHEMA) : fromEnv;
}

void createDatabase(const QString &path)
{
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot read the schema %1").arg(schemaPath()));
    // Comments go first: they may hold semicolons.
    QStringList lines;
    for (const QString &line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            lines << line;
    const QString text = lines.join(QLatin1Char('\n'));
    withDatabase(path, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        for (const QString &statement : text.split(QLatin1Char(';'))) {
            const QString sql = statement.trimmed();
            if (!sql.isEmpty() && !q.exec(sql))
                throw AppError(q.lastError().text());
        }
    });
}

TestProgramFolder::TestProgramFolder(bool withDb)
{
    QDir root(m_dir.path());
    for (const char *folder : {"config", "database", "系统图片/动画", "音效", "评委照片/评委介绍", "选手照片/选手资料",
                               "多媒体素材/题目/图片题", "多媒体素材/答案/图片题答案", "多媒体素材/题目/音频题",
                               "多媒体素材/题目/flash题", "多媒体素材/题目/视频题", "抽奖", "帮助"})
        root.mkpath(QString::fromUtf8(folder));
    if (withDb)
        createDatabase(databasePath());
}

QString TestProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestProgramFolder::file(const QString &relative) const
{
    return path() + relative;
}

void TestProgramFolder::setConfig(const QString &section, const QString &key, const QString &value) const
{
    IniFile(file(QStringLiteral("config/config.ini"))).write(section, key, value);
}

QString TestProgramFolder::config(const QString &section, const QString &key) const
{
    return IniFile(file(QStringLiteral("config/config.ini"))).read(section, key);
}

void TestProgramFolder::writePicture(const QString &relative, QSize size, Qt::GlobalColor colour) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).path());
    const QString suffix = QFileInfo(full).suffix().toLower();
    const QByteArray format = suffix == QLatin1String("jpg") ? QByteArray("JPEG") : suffix.toUpper().toLatin1();
    if (!image.save(full, format.constData()))
        throw AppError(QStringLiteral("Cannot write %1").arg(full));
}

void TestProgramFolder::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw AppError(QStringLiteral("Cannot write %1").arg(full));
}

void TestProgramFolder::exec(const QStringList &statements) const
{
    withDatabase(databasePath(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        for (const QString &sql : statements)
            if (!q.exec(sql))
                throw AppError(q.lastError().text() + QStringLiteral(" in ") + sql);
    });
}

QStringList TestProgramFolder::column(const QString &sql) const
{
    QStringList out;
    withDatabase(databasePath(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw AppError(q.lastError().text() + QStringLiteral(" in ") + sql);
        while (q.next())
            out << q.value(0).toString();
    });
    return out;
}
