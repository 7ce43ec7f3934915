// The settings files: reads and writes of the profile format in GBK, and the strict number conversions.
#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "settings/settings_keys.h"
#include "app/tfrm_main.h"
#include "setup/tfrm_cssz.h"
#include "small_disk.h"
#include "test_app.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace {

QByteArray gbk(const QString &text)
{
    QStringEncoder encode("GBK");
    return encode(text);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class IniFileTest : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString file = QStringLiteral("[评分设置]\r\n小数点=2\r\n闪动时间 =  3  \r\n[Quiz]\r\nMode=a=b\r\n");
        QTest::newRow("plain") << file << QStringLiteral("评分设置") << QStringLiteral("小数点") << QStringLiteral("2");
        QTest::newRow("blanks around key and value") << file << QStringLiteral("评分设置") << QStringLiteral("闪动时间")
                                                     << QStringLiteral("3");
        QTest::newRow("names ignore case") << file << QStringLiteral("QUIZ") << QStringLiteral("mode")
                                           << QStringLiteral("a=b");
        QTest::newRow("missing key") << file << QStringLiteral("评分设置") << QStringLiteral("得分统计模式")
                                     << QStringLiteral("0");
        QTest::newRow("missing section") << file << QStringLiteral("题目设置") << QStringLiteral("小数点")
                                         << QStringLiteral("0");
        QTest::newRow("key of another section") << file << QStringLiteral("Quiz") << QStringLiteral("小数点")
                                                << QStringLiteral("0");
        QTest::newRow("unix line ends") << QStringLiteral("[a]\nk=v\n") << QStringLiteral("a") << QStringLiteral("k")
                                        << QStringLiteral("v");
        const QString twice = QStringLiteral("k=0\r\n[a]\r\nk=1\r\n[b]\r\nm=5\r\n[A]\r\nk=9\r\nm=3\r\n");
        QTest::newRow("a section twice: its first key wins") << twice << QStringLiteral("a") << QStringLiteral("k")
                                                             << QStringLiteral("1");
        QTest::newRow("a section twice: keys of both count") << twice << QStringLiteral("a") << QStringLiteral("m")
                                                             << QStringLiteral("3");
    }
    void reads()
    {
        QFETCH(QString, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        writeAll(path, gbk(content));
        QCOMPARE(IniFile(path).read(section, key), expected);
        // Read as one operation reads it, from one parse of the file.
        const IniFile::ReadScope scope;
        QCOMPARE(IniFile(path).read(QStringLiteral("none"), key), QStringLiteral("0"));
        QCOMPARE(IniFile(path).read(section, key), expected);
    }

    void missingFileReadsDefault()
    {
        QTemporaryDir dir;
        QCOMPARE(IniFile(dir.filePath(QStringLiteral("none.ini"))).read(QStringLiteral("a"), QStringLiteral("b")),
                 QStringLiteral("0"));
    }

    void writes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("after");
        QTest::newRow("replace in place keeps other lines")
            << QStringLiteral("; note\r\n[得分]\r\n1号=7\r\n2号=9\r\n\r\n[其他]\r\nx=1\r\n") << QStringLiteral("得分")
            << QStringLiteral("1号") << QStringLiteral("0")
            << QStringLiteral("; note\r\n[得分]\r\n1号=0\r\n2号=9\r\n\r\n[其他]\r\nx=1\r\n");
        QTest::newRow("new key goes after the section's last key")
            << QStringLiteral("[得分]\r\n1号=7\r\n\r\n[其他]\r\nx=1\r\n") << QStringLiteral("得分") << QStringLiteral("3号")
            << QStringLiteral("0") << QStringLiteral("[得分]\r\n1号=7\r\n3号=0\r\n\r\n[其他]\r\nx=1\r\n");
        QTest::newRow("new section at the end")
            << QStringLiteral("[a]\r\nk=v\r\n") << QStringLiteral("得分") << QStringLiteral("1号") << QStringLiteral("0")
            << QStringLiteral("[a]\r\nk=v\r\n[得分]\r\n1号=0\r\n");
        QTest::newRow("case-insensitive match keeps the old spelling of the section")
            << QStringLiteral("[Sound]\r\nMusic=a.mp3\r\n") << QStringLiteral("sound") << QStringLiteral("MUSIC")
            << QStringLiteral("b.mp3") << QStringLiteral("[Sound]\r\nMUSIC=b.mp3\r\n");
        QTest::newRow("new file") << QString() << QStringLiteral("评分设置") << QStringLiteral("小数点")
                                  << QStringLiteral("2") << QStringLiteral("[评分设置]\r\n小数点=2\r\n");
    }
    void writes()
    {
        QFETCH(QString, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        if (!before.isNull())
            writeAll(path, gbk(before));
        IniFile(path).write(section, key, value);
        QCOMPARE(readAll(path), gbk(after));
        QCOMPARE(IniFile(path).read(section, key), value);
    }

    void bytesOnDiskAreGbk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        IniFile(path).write(QStringLiteral("评委设置"), QStringLiteral("1号评委"), QStringLiteral("张三"));
        // "评委设置" in GBK is C6C0 CEAF C9E8 D6C3.
        QVERIFY(readAll(path).startsWith(QByteArray::fromHex("5bc6c0ceafc9e8d6c35d0d0a")));
    }

    void writeWithoutFolderFails()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config/config.ini"));
        try {
            IniFile(path).write(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
            QFAIL("the write should fail");
        } catch (const AppError &e) {
            QCOMPARE(e.message().section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("文件夹“%1”不存在，数据没有保存。").arg(dir.filePath(QStringLiteral("config"))));
            QVERIFY2(e.message().contains(QStringLiteral("\nUnable to write to ") + path), qPrintable(e.message()));
        }
    }

    // Lines a write does not touch keep their bytes, whatever editor wrote them.
    void foreignLinesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("otherKey");
        QTest::addColumn<QString>("otherValue");
        const QByteArray section = gbk(QStringLiteral("[评委设置]"));
        const QByteArray utf8Line = QStringLiteral("2号评委=李四").toUtf8();
        QTest::newRow("a UTF-8 line in a GBK file")
            << section + "\r\n" + gbk(QStringLiteral("1号评委=张三")) + "\r\n" + utf8Line + "\r\n"
            << QStringLiteral("1号评委") << QStringLiteral("王五")
            << section + "\r\n" + gbk(QStringLiteral("1号评委=王五")) + "\r\n" + utf8Line + "\r\n"
            << QStringLiteral("2号评委") << QStringLiteral("李四");
        QTest::newRow("bytes neither GBK nor UTF-8, unix breaks, no final break")
            << section + "\n; \x80\xff\xfe\n" + gbk(QStringLiteral("1号评委=张三"))
            << QStringLiteral("3号评委") << QStringLiteral("赵六")
            << section + "\n; \x80\xff\xfe\n" + gbk(QStringLiteral("1号评委=张三")) + "\n" +
                   gbk(QStringLiteral("3号评委=赵六")) + "\n"
            << QStringLiteral("1号评委") << QStringLiteral("张三");
        const QByteArray utf8File = QStringLiteral("[评委设置]\n1号评委=张三\n").toUtf8();
        QTest::newRow("a file saved as UTF-8 stays UTF-8")
            << utf8File << QStringLiteral("2号评委") << QStringLiteral("李四")
            << utf8File + QStringLiteral("2号评委=李四\n").toUtf8() << QStringLiteral("1号评委")
            << QStringLiteral("张三");
        QTest::newRow("a byte order mark stays")
            << "\xEF\xBB\xBF" + utf8File << QStringLiteral("1号评委") << QStringLiteral("李四")
            << "\xEF\xBB\xBF" + QStringLiteral("[评委设置]\n1号评委=李四\n").toUtf8() << QStringLiteral("2号评委")
            << QStringLiteral("0");
    }
    void foreignLinesKeepTheirBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QFETCH(QString, otherKey);
        QFETCH(QString, otherValue);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        writeAll(path, before);
        const IniFile file(path);
        const QString section = QStringLiteral("评委设置");
        QCOMPARE(file.read(section, otherKey), otherValue);
        file.write(section, key, value);
        QCOMPARE(readAll(path), after);
        QCOMPARE(file.read(section, key), value);
        QCOMPARE(file.read(section, otherKey), otherValue);
    }

    void unreadableFileIsNeverReplaced()
    {
        QTemporaryDir dir;
        // A folder where the file should be: it exists and cannot be read as a file, even by root.
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("config.ini")));
        writeAll(path + QStringLiteral("/keep"), "x");
        try {
            IniFile(path).write(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
            QFAIL("the write should fail");
        } catch (const AppError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("无法读取文件“%1”").arg(path)), qPrintable(e.message()));
            QVERIFY(e.message().endsWith(QStringLiteral("\nUnable to write to ") + path));
        }
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(readAll(path + QStringLiteral("/keep")), QByteArray("x"));
    }

    void manyKeysInOneWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fenshu.ini"));
        writeAll(path, gbk(QStringLiteral("[得分]\r\n1=7\r\n2=9\r\n\r\n[其他]\r\nx=1\r\n")));
        IniFile(path).writeAll({{QStringLiteral("得分"), QStringLiteral("1"), QStringLiteral("0")},
                                {QStringLiteral("得分"), QStringLiteral("3"), QStringLiteral("0")},
                                {QStringLiteral("新"), QStringLiteral("k"), QStringLiteral("v")},
                                {QStringLiteral("其他"), QStringLiteral("x"), QStringLiteral("2")},
                                {QStringLiteral("新"), QStringLiteral("k"), QStringLiteral("w")}});
        QCOMPARE(readAll(path),
                 gbk(QStringLiteral("[得分]\r\n1=0\r\n2=9\r\n3=0\r\n\r\n[其他]\r\nx=2\r\n[新]\r\nk=w\r\n")));
    }

    void bothPathFormsNameOneFile()
    {
        TestProgramFolder folder(false);
        const AssetPaths paths(folder.path());
        IniFile(paths.file(QStringLiteral("config\\config.ini"))).write(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1"));
        QCOMPARE(IniFile(paths.file(QStringLiteral("\\config\\config.ini"))).read(QStringLiteral("s"), QStringLiteral("k")),
                 QStringLiteral("1"));
        QCOMPARE(SettingsFiles(folder.path()).read(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("1"));
    }
};

class DecimalTextTest : public QObject {
    Q_OBJECT
private slots:
    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("error"); // empty: valid
        QTest::newRow("plain") << QStringLiteral("12") << 12 << QString();
        QTest::newRow("blanks") << QStringLiteral(" 7 ") << 7 << QString();
        QTest::newRow("negative") << QStringLiteral("-3") << -3 << QString();
        QTest::newRow("decimal") << QStringLiteral("2.5") << 0
                                 << QStringLiteral("“2.5”不是有效的整数。\n'2.5' is not a valid integer value");
        QTest::newRow("empty") << QString() << 0 << QStringLiteral("“”不是有效的整数。\n'' is not a valid integer value");
        QTest::newRow("words") << QStringLiteral("abc") << 0
                               << QStringLiteral("“abc”不是有效的整数。\n'abc' is not a valid integer value");
        QTest::newRow("chinese digit") << QStringLiteral("三") << 0
                                       << QStringLiteral("“三”不是有效的整数。\n'三' is not a valid integer value");
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, error);
        try {
            QCOMPARE(decimal_text::toInt(text), value);
            QVERIFY(error.isEmpty());
        } catch (const AppError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    void doubles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("error"); // empty: valid
        QTest::newRow("period") << QStringLiteral("9.125") << 9.125 << QString();
        QTest::newRow("blanks") << QStringLiteral(" 8 ") << 8.0 << QString();
        QTest::newRow("comma") << QStringLiteral("8,5") << 0.0
                               << QStringLiteral("“8,5”不是有效的数字。\n'8,5' is not a valid floating point value");
        QTest::newRow("empty") << QString() << 0.0
                               << QStringLiteral("“”不是有效的数字。\n'' is not a valid floating point value");
        QTest::newRow("infinity") << QStringLiteral("inf") << 0.0
                                  << QStringLiteral("“inf”不是有效的数字。\n'inf' is not a valid floating point value");
    }
    void doubles()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, error);
        try {
            QCOMPARE(decimal_text::toDouble(text), value);
            QVERIFY(error.isEmpty());
        } catch (const AppError &e) {
            QCOMPARE(e.message(), error);
        }
    }
};

// An operation reads a settings file once, however many keys it reads, and still sees the file as it is.
class ReadOnceTest : public QObject {
    Q_OBJECT
private slots:
    void aScopeSeesEveryChangeOfTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        writeAll(path, gbk(QStringLiteral("[a]\r\nk=1\r\n")));
        const IniFile file(path);
        const IniFile::ReadScope scope;
        QCOMPARE(file.read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
        file.write(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"));
        QCOMPARE(file.read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("2"));
        // Another program rewrites the file in place, then removes it.
        writeAll(path, gbk(QStringLiteral("[a]\r\nk=345\r\n")));
        QCOMPARE(IniFile(path).read(QStringLiteral("A"), QStringLiteral("K")), QStringLiteral("345"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(file.read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("0"));
    }

    // Nothing is kept past the operation: the next one reads a change saved meanwhile.
    void theNextOperationReadsTheFileAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        writeAll(path, gbk(QStringLiteral("[a]\r\nk=1\r\n")));
        {
            const IniFile::ReadScope scope;
            QCOMPARE(IniFile(path).read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
        }
        // Same size, same inode: only reading again can see it.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(7);
        f.write("7");
        f.close();
        const IniFile::ReadScope scope;
        QCOMPARE(IniFile(path).read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("7"));
    }

    // A 10 MB file: a hundred keys read in one operation cost about one parse, not a hundred.
    void aLargeFileIsParsedOncePerOperation()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QByteArray bytes = gbk(QStringLiteral("[备注]\r\n"));
        const QByteArray filler = gbk(QStringLiteral("=这一行只是为了让文件变大，程序不会读它。\r\n"));
        for (int i = 0; bytes.size() < 10 * 1024 * 1024; ++i)
            bytes += "note" + QByteArray::number(i) + filler;
        bytes += gbk(QStringLiteral("[评委设置]\r\n"));
        for (int j = 1; j <= 100; ++j)
            bytes += gbk(QStringLiteral("%1号评委=评委%1\r\n").arg(j));
        writeAll(path, bytes);
        const IniFile file(path);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(file.read(QStringLiteral("评委设置"), QStringLiteral("1号评委")), QStringLiteral("评委1"));
        const qint64 oneParse = clock.restart();
        {
            const IniFile::ReadScope scope;
            for (int j = 1; j <= 100; ++j)
                QCOMPARE(file.read(QStringLiteral("评委设置"), keys::judgeName(j)), QStringLiteral("评委%1").arg(j));
        }
        const qint64 hundredKeys = clock.elapsed();
        QVERIFY2(hundredKeys < 4 * oneParse + 200,
                 qPrintable(QStringLiteral("100 keys %1 ms, one parse %2 ms").arg(hundredKeys).arg(oneParse)));
    }
};

// The settings files on a disk without a free byte and in a read-only folder: the file stays byte for
// byte, no temporary file is left, and the operator reads the cause in Chinese.
class FullDiskTest : public QObject {
    Q_OBJECT
private slots:
    void theSettingsSaveKeepsConfigIni_data() { causes(); }
    void theSettingsSaveKeepsConfigIni()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, cause);
        TestApp t;
        t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        t.folder.setConfig(keys::kJudges, keys::judgeName(1), QStringLiteral("张三"));
        t.folder.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
        const QString folder = t.folder.file(QStringLiteral("config"));
        SmallDisk disk(folder);
        QUELMORA_REQUIRE_SMALL_DISK(disk);
        const QByteArray before = readAll(folder + QStringLiteral("/config.ini"));
        t.start();
        readOnly ? disk.setReadOnly(true) : disk.fill();
        Tfrm_cssz *screen = t.screens().frm_cssz;
        screen->openModal(t.screens().frm_main);
        QTest::mouseClick(test_support::findWidget<QPushButton>(screen, QStringLiteral("Button1")), Qt::LeftButton);
        QCOMPARE(readAll(folder + QStringLiteral("/config.ini")), before);
        const QStringList said = t.fakes.dialogs.informations + t.fakes.dialogs.errors;
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains(cause) && !said.first().contains(QStringLiteral("成功")), qPrintable(said.first()));
        QVERIFY(screen->isVisible());
        QCOMPARE(QDir(folder).entryList({QStringLiteral("config.ini.*")}, QDir::Files), QStringList());
    }

    void theTeamResetAtStartUpKeepsFenshuIni_data() { causes(); }
    void theTeamResetAtStartUpKeepsFenshuIni()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, cause);
        TestApp t;
        t.folder.setConfig(keys::kCompetition, keys::kTeamCount, QStringLiteral("3"));
        t.folder.writeBytes(QStringLiteral("config/fenshu.ini"), gbk(QStringLiteral("[得分]\r\n1号=7\r\n2号=9\r\n5号=4\r\n")));
        const QString folder = t.folder.file(QStringLiteral("config"));
        SmallDisk disk(folder);
        QUELMORA_REQUIRE_SMALL_DISK(disk);
        const QByteArray before = readAll(folder + QStringLiteral("/fenshu.ini"));
        readOnly ? disk.setReadOnly(true) : disk.fill();
        t.start();
        QCOMPARE(readAll(folder + QStringLiteral("/fenshu.ini")), before);
        QCOMPARE(t.fakes.dialogs.errors.size(), 1);
        QVERIFY2(t.fakes.dialogs.errors.first().contains(cause), qPrintable(t.fakes.dialogs.errors.first()));
        QVERIFY(t.fakes.dialogs.errors.first().contains(QStringLiteral("Unable to write to")));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("fenshu.ini.*")}, QDir::Files), QStringList());
    }

private:
    void causes()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("cause");
        QTest::newRow("full disk") << false << QStringLiteral("磁盘已满，数据没有保存。");
        QTest::newRow("read-only folder") << true << QStringLiteral("是只读的，数据没有保存。");
    }
};

QUELMORA_TEST_MAIN(IniFileTest, DecimalTextTest, ReadOnceTest, FullDiskTest)
#include "tst_settings.moc"
