// The settings files: reads and writes of the profile format in GBK, and the strict number conversions.
#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "test_app.h"

#include <QFile>
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
