// The main menu's help button: the compiled guide where the desktop can show it, else the guide's web pages
// in the browser with a word to the operator; and how the desktop's program for a file type is found.
#include "app/tfrm_main.h"
#include "media/office.h"
#include "show/hub_keys.h"
#include "test_app.h"

#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

class HelpButtonTest : public QObject {
    Q_OBJECT
private slots:
    void opensTheGuideOrItsPages_data()
    {
        QTest::addColumn<bool>("chm");
        QTest::addColumn<bool>("pages");
        QTest::addColumn<QStringList>("withoutViewer");
        QTest::addColumn<QString>("opened");  // relative to the program folder; empty: nothing opened
        QTest::addColumn<QString>("message"); // the start of the box's text; empty: no box

        const QString chm = QStringLiteral("帮助/帮助.chm");
        const QString index = QStringLiteral("帮助/html/index.html");
        const QString toBrowser = QStringLiteral("无法打开帮助文件，将在浏览器中打开帮助网页。");
        QTest::newRow("viewer") << true << true << QStringList{} << chm << QString();
        QTest::newRow("viewer, no pages") << true << false << QStringList{} << chm << QString();
        QTest::newRow("no viewer: the browser") << true << true << QStringList{QStringLiteral("chm")} << index
                                                << toBrowser + QStringLiteral("\n本机没有打开帮助文件的程序");
        QTest::newRow("no guide file: the browser") << false << true << QStringList{} << index
                                                    << toBrowser + QStringLiteral("\n找不到帮助文件");
        QTest::newRow("no viewer, no browser")
            << true << true << QStringList{QStringLiteral("chm"), QStringLiteral("html")} << QString()
            << QStringLiteral("无法打开帮助：本机没有打开帮助文件或网页的程序。");
        QTest::newRow("no viewer, no pages") << true << false << QStringList{QStringLiteral("chm")} << QString()
                                             << QStringLiteral("无法打开帮助：本机没有打开帮助文件的程序。");
        QTest::newRow("nothing shipped") << false << false << QStringList{} << QString() << QString();
    }

    void opensTheGuideOrItsPages()
    {
        QFETCH(bool, chm);
        QFETCH(bool, pages);
        QFETCH(QStringList, withoutViewer);
        QFETCH(QString, opened);
        QFETCH(QString, message);

        TestApp t;
        if (chm)
            t.folder.writeBytes(QStringLiteral("帮助/帮助.chm"), "ITSF");
        if (pages)
            t.folder.writeBytes(QStringLiteral("帮助/html/index.html"), "<html></html>");
        t.fakes.shell.withoutViewer = withoutViewer;
        t.start();
        QTest::mouseClick(t.screens().frm_main->button_help, Qt::LeftButton);

        QCOMPARE(t.fakes.shell.opened, opened.isEmpty() ? QStringList{} : QStringList{t.folder.file(opened)});
        QVERIFY(t.fakes.dialogs.errors.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(t.fakes.dialogs.informations.isEmpty());
        } else {
            QCOMPARE(t.fakes.dialogs.informations.size(), 1);
            QVERIFY2(t.fakes.dialogs.informations.first().startsWith(message),
                     qPrintable(t.fakes.dialogs.informations.first()));
            // The operator learns which file the desktop could not show.
            QVERIFY(t.fakes.dialogs.informations.first().contains(t.folder.file(QStringLiteral("帮助/帮助.chm"))));
        }
        // The menu stays in front of the operator whatever happened.
        QVERIFY(t.screens().frm_main->isVisible());
    }
};

// The real desktop lookup over a private set of desktop folders: a type with a program whose launcher is
// installed has a viewer; no association, or one whose launcher is gone, has none.
class DesktopViewerTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheProgramForTheType_data()
    {
        QTest::addColumn<QString>("association"); // the mimeapps.list line; empty: none
        QTest::addColumn<bool>("launcher");       // the .desktop file is installed
        QTest::addColumn<bool>("expected");

        QTest::newRow("set and installed") << QStringLiteral("application/vnd.ms-htmlhelp=guideviewer.desktop") << true
                                           << true;
        QTest::newRow("set by its alias") << QStringLiteral("application/x-chm=guideviewer.desktop") << true << true;
        QTest::newRow("launcher removed") << QStringLiteral("application/vnd.ms-htmlhelp=guideviewer.desktop") << false
                                          << false;
        QTest::newRow("nothing set") << QString() << false << false;
    }

    void findsTheProgramForTheType()
    {
        QFETCH(QString, association);
        QFETCH(bool, launcher);
        QFETCH(bool, expected);
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-utils is not installed");

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("config")) && dir.mkpath(QStringLiteral("home/applications"))
                && dir.mkpath(QStringLiteral("system")));
        // The type database of the machine, without the machine's programs.
        QVERIFY(QFile::link(QStringLiteral("/usr/share/mime"), dir.filePath(QStringLiteral("system/mime"))));
        if (!association.isEmpty()) {
            QFile list(dir.filePath(QStringLiteral("config/mimeapps.list")));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("[Default Applications]\n" + association.toUtf8() + "\n");
        }
        if (launcher) {
            QFile desktop(dir.filePath(QStringLiteral("home/applications/guideviewer.desktop")));
            QVERIFY(desktop.open(QIODevice::WriteOnly));
            desktop.write("[Desktop Entry]\nType=Application\nName=Guide viewer\nExec=true %f\n"
                          "MimeType=application/vnd.ms-htmlhelp;application/x-chm;\n");
        }
        const QList<QPair<QByteArray, QString>> vars{
            {"XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config"))},
            {"XDG_CONFIG_DIRS", dir.filePath(QStringLiteral("config"))},
            {"XDG_DATA_HOME", dir.filePath(QStringLiteral("home"))},
            {"XDG_DATA_DIRS", dir.filePath(QStringLiteral("system"))}};
        QList<QPair<QByteArray, QByteArray>> saved;
        for (const auto &v : vars) {
            saved.append({v.first, qgetenv(v.first.constData())});
            qputenv(v.first.constData(), v.second.toUtf8());
        }
        const bool found = DesktopShellOpen().hasViewer(dir.filePath(QStringLiteral("帮助.chm")));
        for (const auto &v : saved)
            qputenv(v.first.constData(), v.second);
        QCOMPARE(found, expected);
    }
};

// The guide's key tables are the tables the screens dispatch through: the laid-out pages hold them as the
// build printed them, one row a key.
class GuideKeysTest : public QObject {
    Q_OBJECT
private slots:
    void guidePrintsTheHubsTable()
    {
        QFile page(QStringLiteral(QUELMORA_GUIDE_DIR "/show.html"));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        const QString html = QString::fromUtf8(page.readAll());
        QVERIFY(html.contains(hub_keys::htmlTable()));
        // One row for each key of the table, and no other rows in that table.
        const qsizetype from = html.indexOf(QStringLiteral("<!--keys:show_main-->"));
        const qsizetype to = html.indexOf(QStringLiteral("<!--/keys:show_main-->"));
        QVERIFY(from >= 0 && to > from);
        QCOMPARE(html.mid(from, to - from).count(QStringLiteral("<tr><td>")), qsizetype(hub_keys::table().size()));
    }
};

QUELMORA_TEST_MAIN(HelpButtonTest, DesktopViewerTest, GuideKeysTest)
#include "tst_help.moc"
