// The contest database: the schema's tables, the query object over a real SQLite file, the grid model.
#include "data/data_module.h"
#include "data/grid_model.h"
#include "settings/app_error.h"
#include "small_disk.h"
#include "test_app.h"

#include <QDir>

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString errorOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const AppError &e) {
        return e.message();
    }
    return {};
}

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT
private slots:
    void tablesAndColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QString scores = QStringLiteral("id bh xm lunshu dfxs zhdf dtdf zhtotal");
        for (int k = 1; k <= 12; ++k)
            scores += QStringLiteral(" pw%1 pw%1df").arg(k);
        scores += QStringLiteral(" zgfpw zgf zdfpw zdf ls bz");
        QTest::newRow("pwdf") << QStringLiteral("pwdf") << scores;
        QTest::newRow("pwdf_bak") << QStringLiteral("pwdf_bak") << scores;
        QTest::newRow("xsb") << QStringLiteral("xsb") << QStringLiteral("bh xm fz zppath xszl");
        QTest::newRow("djs") << QStringLiteral("djs") << QStringLiteral("js");
        QTest::newRow("tiku") << QStringLiteral("tiku")
                              << QStringLiteral("qs tmfz ctsx tmlx tmmc tmfont tmsize tmcolor tmbjs da1 da2 da3 da4 da5 "
                                                "da6 zqda danr lxz1 lxz2 lxz3 lxz4 lxz5 lxy1 lxy2 lxy3 lxy4 lxy5 dafont "
                                                "dasize dacolor dabjs tmyes bshj tmsz dasz");
    }
    void tablesAndColumns()
    {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        TestProgramFolder folder;
        const QStringList names = folder.column(QStringLiteral("select name from pragma_table_info('%1')").arg(table));
        QCOMPARE(names.join(QLatin1Char(' ')), columns);
    }
};

class DatasetTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgramFolder> folder;
    std::unique_ptr<TData> data;

private slots:
    void init()
    {
        folder = std::make_unique<TestProgramFolder>();
        data = std::make_unique<TData>();
        data->connectTo(folder->databasePath());
    }
    void cleanup()
    {
        data.reset();
        folder.reset();
    }

    void designStatementsAndNames()
    {
        QCOMPARE(data->objectName(), QStringLiteral("Data"));
        QCOMPARE(data->adoq_tmcx.sql(), QStringLiteral("select * from tiku"));
        QCOMPARE(data->adoq_xscx.sql(), QStringLiteral("select * from xsb"));
        QCOMPARE(data->adoq_xswh.sql(), QStringLiteral("select * from pwdf"));
        QVERIFY(data->adoq_ls.sql().isEmpty());
    }

    void maxOverEmptyTableIsNull()
    {
        Dataset &q = data->adoq_ls;
        q.setSql(QStringLiteral("select max(bh) as nummax from xsb"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(q.isNull(QStringLiteral("nummax")));
    }

    void textParameterFindsInteger()
    {
        folder->exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx) values (5, '1', 1, '选择题')"),
                      QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx) values (15, '1', 1, '问答题')")});
        Dataset &q = data->adoq_ls;
        q.setSql(QStringLiteral("select * from tiku where (qs=:ls) and (tmyes=:ls2)"));
        q.bindText(QStringLiteral(":ls"), QStringLiteral("5"));
        q.bindBool(QStringLiteral(":ls2"), false);
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.text(QStringLiteral("tmlx")), QStringLiteral("选择题"));
        QCOMPARE(q.value(QStringLiteral("tmyes")).toBool(), false);
    }

    void appendToEmptySelectStoresRow()
    {
        Dataset &q = data->adoq_ls;
        q.setSql(QStringLiteral("select * from pwdf where (bh=:ls) and (lunshu=:ls1)"));
        q.bindInt(QStringLiteral(":ls"), 3);
        q.bindInt(QStringLiteral(":ls1"), 2);
        q.open();
        QVERIFY(q.isEmpty());
        q.append();
        q.setValue(QStringLiteral("bh"), QStringLiteral("3"));
        q.setValue(QStringLiteral("xm"), QStringLiteral("王芳"));
        q.setValue(QStringLiteral("lunshu"), QStringLiteral("2"));
        q.setValue(QStringLiteral("zhtotal"), QStringLiteral("9.50"));
        q.post();
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(!q.isNull(QStringLiteral("id"))); // read back with its automatic number
        // Text assigned to an integer column is stored as the number.
        QCOMPARE(folder->column(QStringLiteral("select typeof(bh) || ':' || bh || ':' || xm from pwdf")),
                 QStringList{QStringLiteral("integer:3:王芳")});
    }

    void editAndDeleteGoThroughTheRow()
    {
        folder->exec({QStringLiteral("insert into xsb (bh, xm) values (1, '甲')"),
                      QStringLiteral("insert into xsb (bh, xm) values (2, '乙')"),
                      QStringLiteral("insert into xsb (bh, xm) values (3, '丙')")});
        Dataset &q = data->adoq_xscx;
        q.setSql(QStringLiteral("select * from xsb order by bh"));
        q.open();
        q.next();
        const Dataset::Bookmark second = q.bookmark();
        q.last();
        q.edit();
        q.setValue(QStringLiteral("xm"), QStringLiteral("丁"));
        q.post();
        QVERIFY(q.gotoBookmark(second));
        QCOMPARE(q.text(QStringLiteral("xm")), QStringLiteral("乙"));
        q.deleteRow();
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(folder->column(QStringLiteral("select xm from xsb order by bh")),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("丁")}));
    }

    void navigationSetsEndFlags()
    {
        folder->exec({QStringLiteral("insert into djs values ('30')"), QStringLiteral("insert into djs values ('60')")});
        Dataset &q = data->adoq_ls;
        q.setSql(QStringLiteral("select * from djs order by js"));
        q.open();
        QStringList seen;
        while (!q.eof()) {
            seen << q.text(QStringLiteral("js"));
            q.next();
        }
        QCOMPARE(seen, (QStringList{QStringLiteral("30"), QStringLiteral("60")}));
        q.setSql(QStringLiteral("select * from djs where js=:ls"));
        q.bindText(QStringLiteral(":ls"), QStringLiteral("999"));
        q.open();
        QVERIFY(q.eof() && q.bof());
        QVERIFY(!errorOf([&] { q.text(QStringLiteral("js")); }).isEmpty());
    }

    void errorsCarryTheDriverText()
    {
        Dataset &q = data->adoq_ls;
        q.setSql(QStringLiteral("select * from nosuchtable"));
        QVERIFY(errorOf([&] { q.open(); }).contains(QStringLiteral("nosuchtable")));
        q.setSql(QStringLiteral("select * from xsb"));
        q.open();
        QVERIFY(errorOf([&] { q.text(QStringLiteral("nosuchcolumn")); }).contains(QStringLiteral("nosuchcolumn")));
    }

    void transactionStoresAllOrNothing()
    {
        folder->exec({QStringLiteral("insert into djs values ('30')")});
        const QString failure = errorOf([&] {
            data->ADOConnection1.transaction([&] {
                Dataset &q = data->adoq_ls;
                q.setSql(QStringLiteral("delete from djs"));
                q.execute();
                q.setSql(QStringLiteral("insert into nosuchtable values (1)"));
                q.execute();
            });
        });
        QVERIFY(!failure.isEmpty());
        QCOMPARE(folder->column(QStringLiteral("select js from djs")), QStringList{QStringLiteral("30")});
    }

    void gridShowsWhatItsQueryHolds()
    {
        folder->exec({QStringLiteral("insert into xsb (bh, xm) values (1, '甲')")});
        GridModel grid(&data->adoq_xscx);
        data->adoq_xscx.open();
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.columnCount(), 5);
        // Another screen re-targets the query: the grid follows.
        data->adoq_xscx.setSql(QStringLiteral("select xm from xsb where bh > 5"));
        data->adoq_xscx.open();
        QCOMPARE(grid.rowCount(), 0);
        QCOMPARE(grid.columnCount(), 1);
    }
};

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void failuresRepeatAtEveryUse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << true;
    }
    void failuresRepeatAtEveryUse()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        TestProgramFolder folder(false);
        if (exists)
            folder.writeBytes(QStringLiteral("database/sys_main.db"), content);
        TData data;
        const QString first = errorOf([&] { data.connectTo(folder.databasePath()); });
        QVERIFY(!first.isEmpty());
        data.adoq_ls.setSql(QStringLiteral("select * from xsb"));
        QCOMPARE(errorOf([&] { data.adoq_ls.open(); }), first);
    }

    // The standard error box says in the operator's language what happened, then the driver's own text.
    void errorsSayWhatHappened_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("driver");
        QTest::newRow("missing file") << QStringLiteral("missing") << QStringLiteral("找不到数据库文件") << QStringLiteral("sys_main.db");
        QTest::newRow("not a database") << QStringLiteral("garbage") << QStringLiteral("不是数据库文件") << QStringLiteral("not a database");
        QTest::newRow("missing table") << QStringLiteral("no table") << QStringLiteral("缺少数据表") << QStringLiteral("xsb");
        QTest::newRow("locked by another program") << QStringLiteral("locked") << QStringLiteral("已锁定") << QStringLiteral("locked");
    }
    void errorsSayWhatHappened()
    {
        QFETCH(QString, fault);
        QFETCH(QString, chinese);
        QFETCH(QString, driver);
        TestProgramFolder folder(fault != QLatin1String("missing") && fault != QLatin1String("garbage"));
        if (fault == QLatin1String("garbage"))
            folder.writeBytes(QStringLiteral("database/sys_main.db"), QByteArray(4096, 'x'));
        if (fault == QLatin1String("no table"))
            folder.exec({QStringLiteral("drop table xsb")});
        // Another program holds the database for writing.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(folder.databasePath());
        if (fault == QLatin1String("locked")) {
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("begin exclusive")));
        }
        QString message;
        {
            TData data;
            message = errorOf([&] {
                data.connectTo(folder.databasePath());
                data.adoq_ls.setSql(QStringLiteral("delete from xsb"));
                data.adoq_ls.execute();
            });
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        const QStringList lines = message.split(QLatin1Char('\n'));
        QVERIFY2(lines.size() >= 2 && lines.first().contains(chinese), qPrintable(message));
        QVERIFY2(message.contains(driver, Qt::CaseInsensitive), qPrintable(message));
    }
};

// The database on a real small disk that is full or read-only: the cause in Chinese, the driver's text after.
class DiskTest : public QObject {
    Q_OBJECT
private slots:
    void aFullDiskIsSaid_data()
    {
        QTest::addColumn<bool>("inTransaction");
        QTest::newRow("a statement") << false;
        QTest::newRow("a transaction") << true; // the driver gives no error number for a failed commit
    }
    void aFullDiskIsSaid()
    {
        QFETCH(bool, inTransaction);
        TestProgramFolder folder;
        SmallDisk disk(folder.file(QStringLiteral("database")), 2 * 1024 * 1024);
        QUELMORA_REQUIRE_SMALL_DISK(disk);
        TData data;
        data.connectTo(folder.databasePath());
        disk.fill();
        const QString message = errorOf([&] {
            auto insert = [&] {
                for (int bh = 1; bh <= 8; ++bh) {
                    data.adoq_ls.setSql(QStringLiteral("insert into xsb (bh, xm) values (:ls, :ls1)"));
                    data.adoq_ls.bindInt(QStringLiteral("ls"), bh);
                    data.adoq_ls.bindText(QStringLiteral("ls1"), QString(20000, QLatin1Char('x')));
                    data.adoq_ls.execute();
                }
            };
            if (inTransaction)
                data.ADOConnection1.transaction(insert);
            else
                insert();
        });
        QVERIFY2(message.startsWith(QStringLiteral("磁盘已满，数据没有保存。\n")), qPrintable(message));
        QVERIFY2(message.section(QLatin1Char('\n'), 1).size() > 3, qPrintable(message));
        disk.unfill();
        QCOMPARE(folder.column(QStringLiteral("select count(*) from xsb")), QStringList{QStringLiteral("0")});
    }

    // Found when the database opens, not at the first score the show tries to store.
    void aReadOnlyFolderIsSaidAtOpening()
    {
        TestProgramFolder folder;
        const QString databaseFolder = folder.file(QStringLiteral("database"));
        SmallDisk disk(databaseFolder);
        QUELMORA_REQUIRE_SMALL_DISK(disk);
        disk.setReadOnly(true);
        TData data;
        const QString message = errorOf([&] { data.connectTo(folder.databasePath()); });
        QVERIFY2(message.startsWith(QStringLiteral("数据库所在的文件夹“%1”是只读的，数据无法保存。\n").arg(databaseFolder)),
                 qPrintable(message));
        data.adoq_ls.setSql(QStringLiteral("select * from xsb"));
        QCOMPARE(errorOf([&] { data.adoq_ls.open(); }), message);
    }
};

QUELMORA_TEST_MAIN(SchemaTest, DatasetTest, ConnectionTest, DiskTest)
#include "tst_data.moc"
