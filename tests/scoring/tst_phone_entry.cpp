// The judges' phones on the scoring screen: the performance the phones are told of, their scores filling
// the entry panel live, the judges still missing, the operator's keyboard overriding a phone, values
// dropped with the contestant, and nothing stored before 确 定 and F7.
#include "app/tfrm_main.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "test_app.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using pfmain::EntrySource;

namespace {

const QStringList kJudgeNames{u"张明"_s, u"李华"_s, u"王芳"_s, u"赵强"_s, u"陈静"_s, u"刘洋"_s,
                              u"杨帆"_s, u"黄磊"_s, u"周婷"_s, u"吴刚"_s, u"徐丽"_s, u"孙伟"_s};

// A contest of `judges` judges and three contestants 选手1..选手3, two decimals, every score counted;
// round 2 scores from 5 to 9.5. The phones' link is on unless told otherwise.
struct PhoneContest {
    explicit PhoneContest(int judges = 3, bool phones = true, bool linkOn = true)
    {
        const TestProgramFolder &f = t.folder;
        f.setConfig(keys::kJudges, keys::kJudgeCount, QString::number(judges));
        f.setConfig(keys::kContest, keys::kContestantCount, u"3"_s);
        f.setConfig(keys::kScoring, keys::kDecimals, u"2"_s);
        f.setConfig(keys::kScoring, keys::kTallyMode, u"0"_s);
        f.setConfig(keys::kContest, keys::roundLowest(2), u"5"_s);
        f.setConfig(keys::kContest, keys::roundHighest(2), u"9.5"_s);
        for (int r = 1; r <= 4; ++r)
            f.setConfig(keys::kContest, keys::roundCoefficient(r), u"1"_s);
        for (int j = 1; j <= 12; ++j)
            f.setConfig(keys::kJudges, keys::judgeName(j), kJudgeNames[j - 1]);
        f.exec({u"insert into xsb (bh, xm, zppath) values (1, '选手1', '')"_s,
                u"insert into xsb (bh, xm, zppath) values (2, '选手2', '')"_s,
                u"insert into xsb (bh, xm, zppath) values (3, '选手3', '')"_s});
        t.fakes.withPhones = phones;
        t.fakes.judges.running = linkOn;
        t.start();
        screen = t.screens().frm_pfmain;
        screen->openModeless(t.screens().frm_main);
    }

    FakeJudgeLink &link() { return t.fakes.judges; }
    void key(Qt::Key k) { QTest::keyClick(screen, k); }
    // Round 2, contestant 1.
    void ready()
    {
        key(Qt::Key_F2);
        key(Qt::Key_Up);
    }
    QLineEdit *entry(int j) const { return screen->panel_sdsrfs->boxes[std::size_t(j - 1)]; }
    QStringList entries() const
    {
        QStringList s;
        for (int j = 1; j <= screen->judge_count(); ++j)
            s << entry(j)->text();
        return s;
    }
    // The boxes' sources as letters: P phone, K keyboard, - none.
    QString sources() const
    {
        QString s;
        for (int j = 1; j <= screen->judge_count(); ++j) {
            const EntrySource e = screen->panel_sdsrfs->source(j);
            s += e == EntrySource::Phone ? u'P' : e == EntrySource::Operator ? u'K' : u'-';
        }
        return s;
    }
    QString missing() const { return screen->findChild<ShadowLabel *>(u"lab_wsd"_s)->text(); }
    bool stripShown() const { return screen->findChild<QWidget *>(u"panel_wsd"_s)->isVisible(); }
    void confirm() { QTest::mouseClick(screen->panel_sdsrfs->Button1, Qt::LeftButton); }
    QString stored() const
    {
        return t.folder.column(u"select count(*) from pwdf"_s).value(0);
    }

    TestApp t;
    Tfrm_pfmain *screen = nullptr;
};

} // namespace

class PhoneEntry : public QObject {
    Q_OBJECT
private slots:
    // Opening, F1..F4 and each contestant tell the phones what is scored; closing tells them nothing is.
    void phonesFollowThePerformance()
    {
        PhoneContest c(4);
        judging::Performance p = c.link().performances.last();
        QCOMPARE(p.round, 0);
        QCOMPARE(p.position, 0);
        QCOMPARE(p.judges, 4);
        QCOMPARE(p.decimals, 2);

        c.key(Qt::Key_F2);
        p = c.link().performances.last();
        QCOMPARE(p.round, 2);
        QCOMPARE(p.position, 0);
        QCOMPARE(p.lowest, 5.0);
        QCOMPARE(p.highest, 9.5);

        c.key(Qt::Key_Down); // the last contestant first
        p = c.link().performances.last();
        QCOMPARE(p.position, 3);
        QCOMPARE(p.number, u"3"_s);
        QCOMPARE(p.name, u"选手3"_s);
        QCOMPARE(c.screen->phone_performance(), p);

        c.t.folder.setConfig(keys::kContest, keys::roundLowest(1), u"6"_s);
        c.t.folder.setConfig(keys::kContest, keys::roundHighest(1), u"6"_s);
        c.key(Qt::Key_F1); // a range no score fits keeps the phones' defaults
        p = c.link().performances.last();
        QCOMPARE(p.round, 1);
        QCOMPARE(p.position, 3);
        QCOMPARE(p.lowest, judging::Performance{}.lowest);
        QCOMPARE(p.highest, judging::Performance{}.highest);

        c.key(Qt::Key_Escape);
        QVERIFY(!c.screen->isVisible());
        QCOMPARE(c.link().performances.last(), judging::Performance{});
    }

    // Scores fill the open panel at once, marked as the phone's; the strip names who is missing; the
    // judges' boxes, the projector and the database see nothing before 确 定 and F7.
    void scoresFillThePanelLive()
    {
        PhoneContest c(3);
        c.ready();
        c.key(Qt::Key_F9);
        QVERIFY(c.stripShown());
        QCOMPARE(c.missing(), u"未收到：1号 张明、2号 李华、3号 王芳"_s);

        c.link().send(2, u"8.50"_s);
        QCOMPARE(c.entries(), (QStringList{{}, u"8.50"_s, {}}));
        QCOMPARE(c.sources(), u"-P-"_s);
        QCOMPARE(c.entry(2)->accessibleDescription(), u"来自手机"_s);
        QCOMPARE(c.entry(2)->palette().color(QPalette::Base), pfmain::kPhoneEntry);
        QCOMPARE(c.missing(), u"未收到：1号 张明、3号 王芳"_s);
        c.link().send(2, u"8.75"_s); // the last one wins
        c.link().send(1, u"9.00"_s);
        c.link().send(3, u"7.25"_s);
        QCOMPARE(c.entries(), (QStringList{u"9.00"_s, u"8.75"_s, u"7.25"_s}));
        QCOMPARE(c.missing(), u"全部评委的分数已收到"_s);
        QCOMPARE(c.screen->scores(), (QStringList{{}, {}, {}}));
        QCOMPARE(c.stored(), u"0"_s);
        QVERIFY(c.link().confirmations.isEmpty());

        c.confirm();
        QCOMPARE(c.link().confirmations, QList<QStringList>{(QStringList{u"9.00"_s, u"8.75"_s, u"7.25"_s})});
        QCOMPARE(c.screen->scores(), (QStringList{u"9.00"_s, u"8.75"_s, u"7.25"_s}));
        QVERIFY(!c.stripShown());
        QCOMPARE(c.stored(), u"0"_s);
        c.key(Qt::Key_F7);
        QCOMPARE(c.t.folder.column(u"select pw1df || ' ' || pw2df || ' ' || pw3df from pwdf"_s),
                 QStringList{u"9.00 8.75 7.25"_s});
    }

    // Values that came while the panel was shut fill it at F9; a score box the operator already
    // confirmed from the phone stays marked as the phone's.
    void heldValuesFillThePanelWhenItOpens()
    {
        PhoneContest c(3);
        c.ready();
        c.link().send(1, u"6.00"_s);
        c.link().send(3, u"7.00"_s);
        QCOMPARE(c.screen->scores(), (QStringList{{}, {}, {}}));
        c.key(Qt::Key_F9);
        QCOMPARE(c.entries(), (QStringList{u"6.00"_s, {}, u"7.00"_s}));
        QCOMPARE(c.sources(), u"P-P"_s);
        QCOMPARE(c.missing(), u"未收到：2号 李华"_s);
        c.confirm();
        c.key(Qt::Key_F9);
        QCOMPARE(c.sources(), u"P-P"_s);
        // Resent after 确 定: newer than the score box, so the panel offers it.
        c.key(Qt::Key_Escape);
        c.link().send(1, u"6.50"_s);
        c.key(Qt::Key_F9);
        QCOMPARE(c.entries(), (QStringList{u"6.50"_s, {}, u"7.00"_s}));
    }

    // What the operator types stands: a later phone value for that judge leaves it, marked as the
    // keyboard's; emptying the box hands the judge back to the phone.
    void keyboardOverridesThePhone()
    {
        PhoneContest c(3);
        c.ready();
        c.link().send(1, u"6.00"_s);
        c.key(Qt::Key_F9);
        c.entry(1)->selectAll();
        QTest::keyClicks(c.entry(1), u"9.1"_s);
        QCOMPARE(c.sources(), u"K--"_s);
        QCOMPARE(c.entry(1)->accessibleDescription(), u"键盘录入"_s);
        QCOMPARE(c.entry(1)->palette().color(QPalette::Base), pfmain::kOperatorEntry);
        c.link().send(1, u"7.00"_s);
        QCOMPARE(c.entry(1)->text(), u"9.1"_s);
        QCOMPARE(c.sources(), u"K--"_s);
        QCOMPARE(c.missing(), u"未收到：2号 李华、3号 王芳"_s); // the operator gave judge 1's score
        QTest::keyClicks(c.entry(2), u"8"_s);
        c.link().send(3, u"7.50"_s);
        c.confirm();
        QCOMPARE(c.link().confirmations.last(), (QStringList{u"9.1"_s, u"8"_s, u"7.50"_s}));

        // Reopened: still the operator's.
        c.key(Qt::Key_F9);
        QCOMPARE(c.sources(), u"KKP"_s);
        c.link().send(2, u"5.00"_s);
        QCOMPARE(c.entry(2)->text(), u"8"_s);
        c.entry(2)->selectAll();
        QTest::keyClick(c.entry(2), Qt::Key_Backspace);
        QCOMPARE(c.sources(), u"K-P"_s);
        c.link().send(2, u"5.50"_s);
        QCOMPARE(c.entry(2)->text(), u"5.50"_s);
        QCOMPARE(c.sources(), u"KPP"_s);
    }

    // Values belong to one contestant in one round: a change drops them, and boxes they filled in the
    // open panel go back to the score box, while what the operator typed there stays. Scores for judges beyond J, or with nothing scored, are ignored.
    void valuesDropWithTheContestant()
    {
        PhoneContest c(3);
        c.key(Qt::Key_F2);
        c.link().send(1, u"6.00"_s); // no contestant yet
        QCOMPARE(c.screen->phone_scores(), (QStringList{{}, {}, {}}));
        c.key(Qt::Key_Up);
        c.link().send(1, u"6.00"_s);
        c.link().send(4, u"9.00"_s);
        QCOMPARE(c.screen->phone_scores(), (QStringList{u"6.00"_s, {}, {}}));
        c.key(Qt::Key_Up);
        QCOMPARE(c.screen->phone_scores(), (QStringList{{}, {}, {}}));
        c.key(Qt::Key_F9);
        QCOMPARE(c.entries(), (QStringList{{}, {}, {}}));

        c.link().send(2, u"8.00"_s);
        QTest::keyClicks(c.entry(3), u"7"_s);
        c.key(Qt::Key_F3); // another round while the panel is up
        QCOMPARE(c.entries(), (QStringList{{}, {}, u"7"_s}));
        QCOMPARE(c.sources(), u"--K"_s);
        QCOMPARE(c.screen->phone_scores(), (QStringList{{}, {}, {}}));
        QCOMPARE(c.missing(), u"未收到：1号 张明、2号 李华"_s);
        c.link().send(3, u"9.00"_s);
        QCOMPARE(c.entry(3)->text(), u"7"_s);
        // The same round again is the same performance: nothing is dropped.
        c.link().send(2, u"8.00"_s);
        c.key(Qt::Key_F3);
        QCOMPARE(c.screen->phone_scores(), (QStringList{{}, u"8.00"_s, u"9.00"_s}));
    }

    // Without phones, or with their link off, the panel is as it always was.
    void withoutPhonesNothingChanges_data()
    {
        QTest::addColumn<bool>("phones");
        QTest::newRow("no phones") << false;
        QTest::newRow("link off") << true;
    }
    void withoutPhonesNothingChanges()
    {
        QFETCH(bool, phones);
        PhoneContest c(3, phones, false);
        c.ready();
        c.key(Qt::Key_F9);
        QVERIFY(!c.stripShown());
        QTest::keyClicks(c.entry(1), u"9"_s);
        c.entry(2)->setText(u"8"_s);
        c.entry(3)->setText(u"7"_s);
        QCOMPARE(c.sources(), u"---"_s);
        QCOMPARE(c.entry(1)->accessibleDescription(), QString());
        c.confirm();
        c.key(Qt::Key_F7);
        QCOMPARE(c.t.folder.column(u"select pw1df || ' ' || pw2df || ' ' || pw3df from pwdf"_s),
                 QStringList{u"9 8 7"_s});
        QCOMPARE(c.link().performances.isEmpty(), !phones);
    }

    // Renders the entry panel filled from phones when QUELMORA_SCREENSHOTS names a folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshot");
        QDir().mkpath(folder);
        PhoneContest c(8);
        c.ready();
        c.key(Qt::Key_F9);
        c.link().send(1, u"9.25"_s);
        c.link().send(2, u"8.75"_s);
        c.link().send(4, u"9.00"_s);
        c.link().send(6, u"8.50"_s);
        QTest::keyClicks(c.entry(5), u"8.8"_s);
        QVERIFY(c.screen->grab().save(folder + u"/phone_entry.png"_s));
    }
};

QUELMORA_TEST_MAIN(PhoneEntry)
#include "tst_phone_entry.moc"
