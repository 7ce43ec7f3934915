#include "demo_contest.h"

#include "settings/app_error.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QAtomicInt>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringEncoder>

namespace assetgen::demo {

namespace {

QString connectionName()
{
    static QAtomicInt n;
    return QStringLiteral("assetgen_%1").arg(n.fetchAndAddRelaxed(1));
}

void exec(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        throw AppError(q.lastError().text());
}

// The schema's statements, with comment lines removed first (they may hold semicolons).
QStringList statements(const QString &schemaPath)
{
    QFile file(schemaPath);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot read the schema %1").arg(schemaPath));
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            lines << line;
    QStringList result;
    for (const QString &statement : lines.join(QLatin1Char('\n')).split(QLatin1Char(';')))
        if (!statement.trimmed().isEmpty())
            result << statement.trimmed();
    return result;
}

void removeQuietly(const QString &path)
{
    if (QFile::exists(path))
        QFile::remove(path);
}

} // namespace

QList<Person> contestants()
{
    const QString first = QStringLiteral("第一组");
    const QString second = QStringLiteral("第二组");
    return {
        {QStringLiteral("李晓雯"), QStringLiteral("选手01.jpg"), first, QStringLiteral("李晓雯.ppt")},
        {QStringLiteral("王子轩"), QStringLiteral("选手02.jpg"), first},
        {QStringLiteral("张雨欣"), QStringLiteral("选手03.jpg"), first},
        {QStringLiteral("刘浩然"), QStringLiteral("选手04.jpg"), first},
        {QStringLiteral("陈思琪"), QStringLiteral("选手05.jpg"), second},
        {QStringLiteral("杨博文"), QStringLiteral("选手06.jpg"), second},
        {QStringLiteral("赵梦瑶"), QStringLiteral("选手07.jpg"), second},
        {QStringLiteral("黄嘉豪"), QStringLiteral("选手08.jpg"), second},
    };
}

QList<Person> judges()
{
    return {
        {QStringLiteral("周建国"), QStringLiteral("评委1.jpg"), {}},
        {QStringLiteral("吴秀兰"), QStringLiteral("评委2.jpg"), {}},
        {QStringLiteral("郑志明"), QStringLiteral("评委3.jpg"), {}},
        {QStringLiteral("孙丽华"), QStringLiteral("评委4.jpg"), {}},
        {QStringLiteral("马文涛"), QStringLiteral("评委5.jpg"), {}},
    };
}

void createDatabase(const QString &path, const QString &schemaPath)
{
    const QStringList schema = statements(schemaPath);
    const QString building = path + QStringLiteral(".building");
    removeQuietly(building);
    const QString name = connectionName();
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(building);
            if (!db.open())
                throw AppError(db.lastError().text());
            QSqlQuery q(db);
            for (const QString &sql : schema)
                exec(q, sql);
            exec(q, QStringLiteral("begin"));
            if (!q.prepare(QStringLiteral("insert into xsb (bh, xm, fz, zppath, xszl) values (?, ?, ?, ?, ?)")))
                throw AppError(q.lastError().text());
            int bh = 0;
            for (const Person &c : contestants()) {
                q.addBindValue(++bh);
                q.addBindValue(c.name);
                q.addBindValue(c.group);
                q.addBindValue(c.photo);
                q.addBindValue(c.profile);
                if (!q.exec())
                    throw AppError(q.lastError().text());
            }
            if (!q.prepare(QStringLiteral("insert into djs (js) values (?)")))
                throw AppError(q.lastError().text());
            for (const char *preset : {"30", "60", "120", "300"}) {
                q.addBindValue(QString::fromLatin1(preset));
                if (!q.exec())
                    throw AppError(q.lastError().text());
            }
            exec(q, QStringLiteral("commit"));
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } catch (...) {
        QSqlDatabase::removeDatabase(name);
        removeQuietly(building);
        throw;
    }
    if (!QFile::rename(building, path)) {
        removeQuietly(building);
        throw AppError(QStringLiteral("Unable to write to %1").arg(path));
    }
}

void writeSettings(const QString &path)
{
    const QString building = path + QStringLiteral(".building");
    removeQuietly(building);
    const IniFile ini(building);
    auto set = [&](const QString &section, const QString &key, const QString &value) { ini.write(section, key, value); };
    auto number = [](int n) { return QString::number(n); };

    set(keys::kSystem, keys::kSerialPort, number(1));

    set(keys::kScoring, keys::kDecimals, number(2));
    set(keys::kScoring, keys::kRankMode, number(0));
    set(keys::kScoring, keys::kTallyMode, number(1));
    set(keys::kScoring, keys::kFlashSeconds, number(3));

    set(keys::kContest, keys::kContestantCount, number(contestants().size()));
    set(keys::kContest, keys::kBigCountdownSound, number(10));
    set(keys::kContest, keys::kRoundCount, number(4));
    static const char *const coefficients[] = {"0.4", "0.3", "0.2", "0.1"};
    static const QString roundNames[] = {QStringLiteral("才艺展示"), QStringLiteral("知识问答"),
                                         QStringLiteral("即兴演讲"), QStringLiteral("总决赛")};
    for (int round = 1; round <= 4; ++round) {
        set(keys::kContest, keys::roundCoefficient(round), QString::fromLatin1(coefficients[round - 1]));
        set(keys::kContest, keys::roundName(round), roundNames[round - 1]);
        set(keys::kContest, keys::roundLowest(round), number(0));
        set(keys::kContest, keys::roundHighest(round), number(10));
    }
    set(keys::kContest, keys::kFirstPrize, number(1));
    set(keys::kContest, keys::kSecondPrize, number(2));
    set(keys::kContest, keys::kThirdPrize, number(3));

    const QList<Person> panel = judges();
    set(keys::kJudges, keys::kJudgeCount, number(panel.size()));
    for (int k = 1; k <= panel.size(); ++k) {
        set(keys::kJudges, keys::judgeName(k), panel[k - 1].name);
        set(keys::kJudges, keys::judgePhoto(k), panel[k - 1].photo);
    }

    set(keys::kQuiz, keys::kChoiceSeconds, number(30));
    set(keys::kQuiz, keys::kAnswerSeconds, number(60));
    set(keys::kQuiz, keys::kMatchingSeconds, number(90));
    set(keys::kQuiz, keys::kPictureSeconds, number(60));
    set(keys::kQuiz, keys::kMediaSeconds, number(120));
    set(keys::kQuiz, keys::kCountdownSoundFrom, number(5));
    set(keys::kQuiz, keys::kCountdownLocked, number(0));
    set(keys::kQuiz, keys::kTileCount, number(8));

    set(keys::kSounds, keys::kAwardMusic, QStringLiteral("颁奖音乐.mp3"));
    set(keys::kCompetition, keys::kTeamCount, number(0));

    if (!QFile::rename(building, path)) {
        removeQuietly(building);
        throw AppError(QStringLiteral("Unable to write to %1").arg(path));
    }
}

QByteArray lotteryList()
{
    // Seat labels of the audience, as a show's lottery draws them: rows 3 to 11, four seats each.
    QStringEncoder encode("GBK");
    QByteArray out;
    for (int row = 3; row <= 11; ++row) {
        for (int seat : {4, 9, 16, 21}) {
            out += encode(QStringLiteral("%1排%2号").arg(row).arg(seat));
            out += "\r\n";
        }
    }
    return out;
}

} // namespace assetgen::demo
