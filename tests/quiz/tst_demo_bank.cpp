// The demo question bank: filled only into an empty bank, every file it names laid beside it, and every
// group playable on the quiz screen without an error.
#include "app/tfrm_main.h"
#include "demo_questions.h"
#include "media/asset_paths.h"
#include "quiz/tfrm_tm.h"
#include "settings/settings_keys.h"
#include "test_app.h"

#include <QDir>
#include <QFile>
#include <QSet>

class DemoBankTest : public QObject {
    Q_OBJECT
private slots:
    void fillsOnlyAnEmptyBank()
    {
        TestProgramFolder folder;
        QVERIFY(assetgen::demo_questions::addBankIfEmpty(folder.databasePath()));
        const QStringList types = folder.column(QStringLiteral("select distinct tmlx from tiku where qs = 0"));
        QCOMPARE(QSet<QString>(types.begin(), types.end()),
                 (QSet<QString>{QStringLiteral("选择题"), QStringLiteral("问答题"), QStringLiteral("连线题"), QStringLiteral("图片题"),
                                QStringLiteral("多媒体题")}));
        QVERIFY(folder.column(QStringLiteral("select distinct tmfz from tiku")).size() >= 8);
        QCOMPARE(folder.column(QStringLiteral("select count(*) from tiku where tmyes <> 0")), QStringList{QStringLiteral("0")});
        // A choice question with two correct options, one with options D to F empty, five pairs.
        QVERIFY(!folder.column(QStringLiteral("select zqda from tiku where length(zqda) = 2")).isEmpty());
        QVERIFY(!folder.column(QStringLiteral("select tmmc from tiku where tmlx = '选择题' and da3 <> '' and da4 = '' and da5 = '' and da6 = ''"))
                     .isEmpty());
        QCOMPARE(folder.column(QStringLiteral("select da5 from tiku where tmlx = '连线题'")).value(0).size(), 2);

        const QString before = folder.column(QStringLiteral("select count(*) from tiku")).value(0);
        QVERIFY(!assetgen::demo_questions::addBankIfEmpty(folder.databasePath()));
        QCOMPARE(folder.column(QStringLiteral("select count(*) from tiku")).value(0), before);
    }

    void anOrganisersBankIsLeftAlone()
    {
        TestProgramFolder folder;
        folder.exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc) values (5, '1', 1, '问答题', '自己的题')")});
        QVERIFY(!assetgen::demo_questions::addBankIfEmpty(folder.databasePath()));
        QCOMPARE(folder.column(QStringLiteral("select tmmc from tiku")), QStringList{QStringLiteral("自己的题")});
    }

    void everyGroupPlaysOnTheQuizScreen()
    {
        TestApp t;
        const TestProgramFolder &f = t.folder;
        for (const assetgen::demo_questions::MediaFile &file : assetgen::demo_questions::files())
            f.writeBytes(file.relative, file.bytes());
        QVERIFY(assetgen::demo_questions::addBankIfEmpty(f.databasePath()));
        // Every file a question names is one of the files laid beside the bank.
        const AssetPaths paths(f.path());
        for (const QString &name : f.column(QStringLiteral("select tmmc from tiku where tmlx = '多媒体题'")))
            QVERIFY2(QFile::exists(paths.named(assets::mediaFolder(assets::mediaKind(name)), name)), qPrintable(name));
        for (const QString &name : f.column(QStringLiteral("select tmmc from tiku where tmlx = '图片题'")))
            QVERIFY(QFile::exists(paths.named(assets::kQuestionPictures, name)));
        for (const QString &name : f.column(QStringLiteral("select danr from tiku where tmlx = '图片题'")))
            QVERIFY(QFile::exists(paths.named(assets::kAnswerPictures, name)));

        for (const QString &picture : {assets::kBoardBackground, assets::kChoiceBackground, assets::kAnswerBackground,
                                       assets::kMatchingBackground, assets::kMediaBackground, assets::kMatchingSurface})
            f.writePicture(picture, QSize(64, 48), Qt::darkBlue);
        // Pictures are read by their content: a JPEG under the GIF's name serves as the tile.
        QVERIFY(QFile::copy(f.file(assets::kBoardBackground), f.file(assets::kTilePicture)));
        f.setConfig(keys::kQuiz, keys::kTileCount, QStringLiteral("8"));
        t.start();
        Tfrm_tm *screen = t.screens().frm_tm;
        screen->openModeless(t.screens().frm_main);
        for (int tile = 1; tile <= 8; ++tile) {
            QWidget *label = screen->lab_tm[std::size_t(tile - 1)];
            QVERIFY(!label->isHidden());
            QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, label->rect().center());
            // Each question of the group: reveal, then on to the next.
            for (int i = 0; i < 3 && !screen->boardVisible(); ++i) {
                QTest::keyClick(screen, Qt::Key_Return);
                QTest::keyClick(screen, Qt::Key_Up);
            }
            if (!screen->boardVisible())
                QTest::keyClick(screen, Qt::Key_Escape);
        }
        QCOMPARE(t.fakes.dialogs.errors, QStringList());
        QCOMPARE(f.column(QStringLiteral("select count(*) from tiku where tmyes = 0")), QStringList{QStringLiteral("0")});
    }
};

QUELMORA_TEST_MAIN(DemoBankTest)
#include "tst_demo_bank.moc"
