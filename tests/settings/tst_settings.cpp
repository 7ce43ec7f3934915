// The settings files: reads and writes of the profile format in GBK, and the strict number conversions.
#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "test_app.h"

#include <QDir>
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
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
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
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
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
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QStringLiteral("12") << true << 12;
        QTest::newRow("blanks") << QStringLiteral(" 7 ") << true << 7;
        QTest::newRow("negative") << QStringLiteral("-3") << true << -3;
        QTest::newRow("decimal") << QStringLiteral("2.5") << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("words") << QStringLiteral("三") << false << 0;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        try {
            QCOMPARE(decimal_text::toInt(text), value);
            QVERIFY(valid);
        } catch (const AppError &e) {
            QVERIFY(!valid);
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void doubles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("period") << QStringLiteral("9.125") << true << 9.125;
        QTest::newRow("blanks") << QStringLiteral(" 8 ") << true << 8.0;
        QTest::newRow("comma") << QStringLiteral("8,5") << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("infinity") << QStringLiteral("inf") << false << 0.0;
    }
    void doubles()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        try {
            QCOMPARE(decimal_text::toDouble(text), value);
            QVERIFY(valid);
        } catch (const AppError &) {
            QVERIFY(!valid);
        }
    }
};

QUELMORA_TEST_MAIN(IniFileTest, DecimalTextTest)
#include "tst_settings.moc"
