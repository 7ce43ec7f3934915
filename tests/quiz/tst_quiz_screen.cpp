// The quiz screen as the operator drives it: the board and its tiles, groups and the used flag, the five
// question types with their marks and reveals, the matching lines, media playback and the countdown.
#include "app/tfrm_main.h"
#include "media/asset_paths.h"
#include "quiz/tfrm_tm.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "show/tshow_main.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QBuffer>
#include <QDir>
#include <QMap>
#include <QPushButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using quiz::OptionLook;
using quiz::QuestionType;

namespace {

using Fields = QMap<QString, QString>;

const QString kChoice = QStringLiteral("选择题");
const QString kAnswer = QStringLiteral("问答题");
const QString kMatching = QStringLiteral("连线题");
const QString kPicture = QStringLiteral("图片题");
const QString kMedia = QStringLiteral("多媒体题");

// The styles every question gets unless a test says otherwise: white 黑体 text with a black shadow.
Fields styled(Fields fields)
{
    const Fields defaults{{QStringLiteral("tmfont"), QStringLiteral("黑体")}, {QStringLiteral("tmsize"), QStringLiteral("28")},
                          {QStringLiteral("tmcolor"), QStringLiteral("16777215")}, {QStringLiteral("tmbjs"), QStringLiteral("0")},
                          {QStringLiteral("dafont"), QStringLiteral("黑体")}, {QStringLiteral("dasize"), QStringLiteral("24")},
                          {QStringLiteral("dacolor"), QStringLiteral("65535")}, {QStringLiteral("dabjs"), QStringLiteral("0")}};
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        if (!fields.contains(it.key()))
            fields.insert(it.key(), it.value());
    return fields;
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A program folder with every picture the quiz needs, a board of `tiles` tiles and countdowns of
// 30, 40, 50, 60 and 70 seconds for the five types.
struct Quiz {
    // `tiles` empty leaves the tile count out of the settings.
    explicit Quiz(const QString &tiles = QStringLiteral("8"))
    {
        const TestProgramFolder &f = t.folder;
        f.writePicture(QStringLiteral("系统图片/选题背景.jpg"), QSize(64, 48), Qt::darkBlue);
        f.writePicture(QStringLiteral("系统图片/选择题背景.jpg"), QSize(64, 48), Qt::darkGreen);
        f.writePicture(QStringLiteral("系统图片/问答题背景.jpg"), QSize(64, 48), Qt::darkCyan);
        f.writePicture(QStringLiteral("系统图片/连线题背景.bmp"), QSize(1024, 768), Qt::gray);
        f.writePicture(QStringLiteral("系统图片/多媒体题背景.jpg"), QSize(64, 48), Qt::darkMagenta);
        // Pictures are read by their content: a PNG under the GIF's name serves as the tile.
        QImage tile(170, 115, QImage::Format_ARGB32);
        tile.fill(Qt::yellow);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tile.save(&buffer, "PNG");
        f.writeBytes(QStringLiteral("系统图片/选题框.gif"), png);
        f.writePicture(QStringLiteral("系统图片/连线题.bmp"), QSize(1024, 768), Qt::white);
        if (!tiles.isEmpty())
            f.setConfig(keys::kQuiz, keys::kTileCount, tiles);
        f.setConfig(keys::kQuiz, keys::kChoiceSeconds, QStringLiteral("30"));
        f.setConfig(keys::kQuiz, keys::kAnswerSeconds, QStringLiteral("40"));
        f.setConfig(keys::kQuiz, keys::kMatchingSeconds, QStringLiteral("50"));
        f.setConfig(keys::kQuiz, keys::kPictureSeconds, QStringLiteral("60"));
        f.setConfig(keys::kQuiz, keys::kMediaSeconds, QStringLiteral("70"));
        f.setConfig(keys::kQuiz, keys::kCountdownSoundFrom, QStringLiteral("3"));
        f.setConfig(keys::kQuiz, keys::kCountdownLocked, QStringLiteral("0"));
    }

    // Adds a question of issue `issue`, group `group`, place `order` in it.
    void add(int group, int order, const QString &type, const Fields &fields = {}, int issue = 0, bool used = false)
    {
        QStringList columns{QStringLiteral("qs"), QStringLiteral("tmfz"), QStringLiteral("ctsx"), QStringLiteral("tmlx"),
                            QStringLiteral("tmyes")};
        QStringList values{QString::number(issue), quoted(QString::number(group)), QString::number(order), quoted(type),
                           used ? QStringLiteral("1") : QStringLiteral("0")};
        const Fields all = styled(fields);
        // A multimedia question's file lies in its folder unless the test says otherwise; the fake players
        // play any bytes.
        const QString clip = fields.value(QStringLiteral("tmmc")).trimmed();
        if (type == kMedia && layClips && assets::mediaKind(clip) != assets::MediaKind::None)
            layClip(clip);
        for (auto it = all.begin(); it != all.end(); ++it) {
            columns << it.key();
            values << quoted(it.value());
        }
        t.folder.exec({QStringLiteral("insert into tiku (%1) values (%2)").arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')))});
    }
    void addChoice(int group, int order, const QString &text, const QStringList &options, const QString &answer)
    {
        Fields f{{QStringLiteral("tmmc"), text}, {QStringLiteral("zqda"), answer}};
        for (int k = 0; k < options.size(); ++k)
            f.insert(QStringLiteral("da%1").arg(k + 1), options[k]);
        add(group, order, kChoice, f);
    }

    Tfrm_tm *open()
    {
        if (!t.app)
            t.start();
        screen = t.screens().frm_tm;
        screen->openModeless(t.screens().frm_main);
        return screen;
    }

    template <typename W = QWidget>
    W *find(const QString &name) const
    {
        return test_support::findWidget<W>(screen, name);
    }
    ShadowLabel *label(const QString &name) const { return find<ShadowLabel>(name); }
    bool shown(const QString &name) const { return !find(name)->isHidden(); }
    // The panels shown, bottom to top.
    QString panels() const
    {
        QStringList out;
        for (const char *name : {"panel_wendati", "Panel_tupianti", "Panel_duomeiti", "Panel_xzt", "Panel_lianxianti",
                                 "Panel_xztm", "Panel_flash"})
            if (shown(QLatin1String(name)))
                out << QLatin1String(name);
        return out.join(QLatin1Char(' '));
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(screen, k, modifiers); }
    void click(int tile, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *l = find(QStringLiteral("lab_tm%1").arg(tile));
        QTest::mouseClick(l, Qt::LeftButton, modifiers, l->rect().center());
    }

    // tmyes of the questions of a group in their order, as "0"/"1".
    QString used(int group, int issue = 0) const
    {
        return t.folder
            .column(QStringLiteral("select tmyes from tiku where qs = %1 and tmfz = '%2' order by ctsx").arg(issue).arg(group))
            .join(QString());
    }
    // Tiles as the board shows them: '-' hidden, 'N' with its number, 'o' picture without number that can
    // still be clicked, 'x' picture without number that cannot.
    QString tiles() const
    {
        QString s;
        for (int n = 1; n <= quiz::kTileCount; ++n) {
            const bool picture = shown(QStringLiteral("Image_tm%1").arg(n));
            const ShadowLabel *l = label(QStringLiteral("lab_tm%1").arg(n));
            s += !picture        ? QLatin1Char('-')
                 : l->isHidden() ? QLatin1Char('x')
                 : l->text().isEmpty() ? QLatin1Char('o')
                                       : QLatin1Char('N');
            if (!l->isHidden() && !l->text().isEmpty() && l->text() != QString::number(n))
                s += QLatin1Char('?'); // a number that is not the tile's own
        }
        return s;
    }
    void setIssue(int issue) { t.context().current_issue = QString::number(issue); }
    QString looks() const
    {
        QString s;
        for (int k = 0; k < quiz::kOptionCount; ++k) {
            const OptionLook look = screen->optionLook(k);
            s += look == OptionLook::Clear ? QLatin1Char('.') : look == OptionLook::Marked ? QLatin1Char('g') : QLatin1Char('R');
        }
        return s;
    }
    // The files the sound-effect player played, by bare name.
    QStringList effects() const
    {
        QStringList out;
        for (const QString &line : t.fakes.media.log.lines)
            if (line.startsWith(QLatin1String("frm_tm:play:")))
                out << line.section(QLatin1Char('/'), -1);
        return out;
    }
    FakeMediaPlayer *effectPlayer() const
    {
        for (FakeMediaPlayer *p : t.fakes.media.mediaPlayers)
            if (p->parent() == screen)
                return p;
        return nullptr;
    }
    QStringList clipLog() const
    {
        QStringList out;
        for (const QString &line : t.fakes.media.log.lines)
            if (line.startsWith(QLatin1String("clip:")) || line.startsWith(QLatin1String("flash:")))
                out << line;
        return out;
    }
    QString caption(QuestionType type) const { return screen->countdownCaption(type)->text(); }

    void layClip(const QString &name, const QByteArray &bytes = {}) const
    {
        const assets::MediaKind kind = assets::mediaKind(name);
        const QByteArray content = !bytes.isEmpty() ? bytes : kind == assets::MediaKind::Flash ? QByteArray("FWS\x0a") : QByteArray("clip");
        t.folder.writeBytes(assets::mediaFolder(kind) + name, content);
    }

    TestApp t;
    Tfrm_tm *screen = nullptr;
    bool layClips = true;
};

QColor pixel(const Picture *picture, QPoint at)
{
    return picture->pixmap().toImage().pixelColor(at);
}

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
private slots:
    void tilesShowTheirLooks_data()
    {
        QTest::addColumn<QString>("tileCount");
        QTest::addColumn<QString>("tiles");
        // Group 2 started with questions left, group 3 used in another issue only, group 4 used up, group 5
        // started with its last question left.
        QTest::newRow("key missing: no tile") << QString() << QStringLiteral("--------------------");
        QTest::newRow("eight") << QStringLiteral("8") << QStringLiteral("NoNxoNNN------------");
        QTest::newRow("above twenty: twenty") << QStringLiteral("25") << QStringLiteral("NoNxoNNNNNNNNNNNNNNN");
        QTest::newRow("negative: none") << QStringLiteral("-1") << QStringLiteral("--------------------");
    }
    void tilesShowTheirLooks()
    {
        QFETCH(QString, tileCount);
        QFETCH(QString, tiles);
        Quiz q(tileCount);
        for (int order = 1; order <= 5; ++order)
            q.add(2, order, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("问题")}}, 0, order == 3);
        q.add(3, 1, kAnswer, {}, 1, true);
        q.add(4, 1, kAnswer, {}, 0, true);
        q.add(4, 2, kAnswer, {}, 0, true);
        q.add(5, 1, kAnswer, {}, 0, true);
        q.add(5, 2, kAnswer, {}, 0, false);
        q.open();
        QCOMPARE(q.tiles(), tiles);
        QCOMPARE(q.panels(), QStringLiteral("Panel_xztm"));
        QCOMPARE(q.find(QStringLiteral("Panel_xztm"))->pos(), QPoint(0, 0));
        QCOMPARE(q.screen->geometry().size(), QSize(1024, 768));
        QCOMPARE(q.label(QStringLiteral("lab_tm1"))->font().pixelSize(), 67);
        QCOMPARE(q.label(QStringLiteral("lab_tm3"))->font().pixelSize(), 80);
        QCOMPARE(q.label(QStringLiteral("lab_tm3"))->textColour(), QColor(0, 255, 0));
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    void tileOpensItsGroupAndMarksEachQuestionAsPresented()
    {
        Quiz q;
        q.add(1, 2, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("第二题")}});
        q.add(1, 1, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("第一题")}});
        q.add(1, 1, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("别的期")}}, 7);
        q.open();
        q.click(1);
        QCOMPARE(q.screen->current_group(), 1);
        QCOMPARE(q.screen->current_type(), kAnswer);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("第一题"));
        QCOMPARE(q.panels(), QStringLiteral("panel_wendati"));
        QCOMPARE(q.used(1), QStringLiteral("10"));
        QCOMPARE(q.label(QStringLiteral("lab_tm1"))->text(), QString());

        q.key(Qt::Key_Up);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("第二题"));
        QCOMPARE(q.used(1), QStringLiteral("11"));
        QCOMPARE(q.used(1, 7), QStringLiteral("0"));

        // The group is used up: Up stops the countdown and brings the board back.
        q.key(Qt::Key_Apostrophe);
        QVERIFY(q.screen->time_djs->isActive());
        q.key(Qt::Key_Up);
        QVERIFY(!q.screen->time_djs->isActive());
        QVERIFY(q.screen->boardVisible());
        QCOMPARE(q.screen->current_type(), kAnswer);
        // Up on the board does nothing.
        q.key(Qt::Key_Up);
        QVERIFY(q.screen->boardVisible());

        // Clicking the blank tile again leaves the screen bare: nothing is left in the group.
        q.click(1);
        QCOMPARE(q.panels(), QString());
        QCOMPARE(q.screen->current_type(), QString());
        q.key(Qt::Key_Escape);
        QVERIFY(q.screen->boardVisible());
        q.key(Qt::Key_Escape);
        QVERIFY(!q.screen->isVisible());

        // The next showing: the used-up group has lost its number and opens nothing.
        q.open();
        QCOMPARE(q.tiles().left(2), QStringLiteral("xN"));
        q.click(1);
        QVERIFY(q.screen->boardVisible());
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    // Every showing draws the board from the database: numbers cleared by clicks in an earlier showing or
    // another issue come back, and a group left half-played goes on with its queue.
    void eachShowingDrawsTheTilesAnew()
    {
        Quiz q(QStringLiteral("4"));
        for (int issue : {5, 6})
            for (int group = 1; group <= 3; ++group)
                for (int order = 1; order <= 2; ++order)
                    q.add(group, order, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("%1期%2组%3").arg(issue).arg(group).arg(order)}},
                          issue);
        q.t.start();
        q.setIssue(5);
        q.open();
        q.click(1);
        q.key(Qt::Key_Escape);
        q.click(2);
        q.key(Qt::Key_Up);
        q.key(Qt::Key_Up); // group 2 used up: the board
        QCOMPARE(q.tiles().left(4), QStringLiteral("ooNN"));
        q.key(Qt::Key_Escape);

        // Another issue, none of whose questions was presented: every number is back.
        q.setIssue(6);
        q.open();
        QCOMPARE(q.tiles().left(4), QStringLiteral("NNNN"));
        q.click(3);
        q.key(Qt::Key_Escape);
        q.key(Qt::Key_Escape); // closed in the middle of group 3
        q.open();
        QCOMPARE(q.tiles().left(4), QStringLiteral("NNoN"));
        q.click(3);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("6期3组2"));
        QCOMPARE(q.used(3, 6), QStringLiteral("11"));
        q.key(Qt::Key_Escape);
        q.key(Qt::Key_Escape);

        // Back to the first issue: group 1 goes on, group 2 is done.
        q.setIssue(5);
        q.open();
        QCOMPARE(q.tiles().left(4), QStringLiteral("oxNN"));
        q.click(2);
        QVERIFY(q.screen->boardVisible());
        q.click(1);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("5期1组2"));
        QCOMPARE(q.used(1, 5), QStringLiteral("11"));
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    void groupWithoutQuestionsLeavesTheScreenBare()
    {
        Quiz q;
        q.open();
        QCOMPARE(q.tiles().left(8), QStringLiteral("NNNNNNNN"));
        q.click(4);
        QCOMPARE(q.panels(), QString());
        QCOMPARE(q.screen->current_type(), QString());
        q.key(Qt::Key_Escape);
        QCOMPARE(q.tiles().left(8), QStringLiteral("NNNoNNNN"));
        QVERIFY(q.screen->isVisible());
    }

    void escShowsTheBoardOverTheQuestionAndLeavesItRunning()
    {
        Quiz q;
        q.add(1, 1, kMedia, {{QStringLiteral("tmmc"), QStringLiteral("clip.mp3")}});
        q.add(2, 1, kMedia, {{QStringLiteral("tmmc"), QStringLiteral("film.swf")}});
        q.open();
        q.click(1);
        q.key(Qt::Key_Apostrophe);
        const int logged = q.clipLog().size();
        q.key(Qt::Key_Escape);
        QCOMPARE(q.panels(), QStringLiteral("Panel_duomeiti Panel_xztm"));
        QVERIFY(q.screen->time_djs->isActive());
        QCOMPARE(q.clipLog().size(), logged); // the clip plays on
        // A Flash question gives way to the board, so its tiles can be clicked; the movie is not stopped.
        q.click(2);
        q.key(Qt::Key_Escape);
        QCOMPARE(q.panels(), QStringLiteral("Panel_xztm"));
        QVERIFY(q.clipLog().last().startsWith(QStringLiteral("flash:play:")));
        // Closing stops the movie and the clip, not the countdown.
        q.key(Qt::Key_Apostrophe);
        q.key(Qt::Key_Escape);
        QVERIFY(!q.screen->isVisible());
        QVERIFY(q.screen->time_djs->isActive());
        QCOMPARE(q.clipLog().mid(q.clipLog().size() - 2), (QStringList{QStringLiteral("flash:stop:"), QStringLiteral("clip:close:")}));
    }

    void shiftOnTilesOneAndTwoOpensTheFontDialog()
    {
        Quiz q;
        q.add(1, 1, kAnswer);
        q.add(3, 1, kAnswer);
        q.t.folder.setConfig(keys::kQuiz, keys::kQuestionFont, QStringLiteral("黑体"));
        q.open();
        // Cancelled: nothing changes.
        q.click(1, Qt::ShiftModifier);
        QVERIFY(q.screen->boardVisible());
        QCOMPARE(q.used(1), QStringLiteral("0"));
        QCOMPARE(q.t.folder.config(keys::kQuiz, keys::kQuestionFont), QStringLiteral("黑体"));
        // Confirmed: the font is stored, the group stays closed.
        QFont font(QStringLiteral("宋体"));
        font.setPointSize(36);
        q.t.fakes.dialogs.fontAnswers.enqueue(font);
        q.click(2, Qt::ShiftModifier);
        QCOMPARE(q.t.folder.config(keys::kQuiz, keys::kQuestionFont), QStringLiteral("宋体"));
        QCOMPARE(q.t.folder.config(keys::kQuiz, keys::kQuestionSize), QStringLiteral("36"));
        QCOMPARE(q.label(QStringLiteral("lab_tm2"))->text(), QStringLiteral("2"));
        // Tile 3 ignores Shift.
        q.click(3, Qt::ShiftModifier);
        QCOMPARE(q.used(3), QStringLiteral("1"));
        QVERIFY(!q.screen->boardVisible());
    }

    void missingPictureStopsTheShowingThere()
    {
        Quiz q;
        QFile::remove(q.t.folder.file(QStringLiteral("系统图片/连线题背景.bmp")));
        q.open();
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(q.t.fakes.dialogs.errors[0].contains(QStringLiteral("连线题背景.bmp")));
        QVERIFY(q.screen->isVisible());
        QCOMPARE(q.tiles(), QStringLiteral("--------------------")); // the board was not built
        QCOMPARE(q.screen->countdown_start(QuestionType::Choice), 30); // the settings before it were read
    }

    void badSettingIsAConversionError()
    {
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kTileCount, QStringLiteral("八"));
        q.open();
        QCOMPARE(q.t.fakes.dialogs.errors, QStringList{QStringLiteral("“八”不是有效的整数。\n'八' is not a valid integer value")});
        QVERIFY(q.screen->isVisible());
        q.key(Qt::Key_Escape);
        QVERIFY(!q.screen->isVisible());
    }

    void f10OfTheScoringScreenOpensTheBoardAboveTheModalHub()
    {
        Quiz q;
        q.t.start();
        Tshow_main *hub = q.t.screens().show_main;
        hub->openModal(q.t.screens().frm_main);
        QTest::keyClick(hub, Qt::Key_F1);
        Tfrm_pfmain *scoring = q.t.screens().frm_pfmain;
        QTest::keyClick(scoring, Qt::Key_F10);
        q.screen = q.t.screens().frm_tm;
        QVERIFY(!q.screen->isVisible()); // no round chosen yet
        QTest::keyClick(scoring, Qt::Key_F1);
        QTest::keyClick(scoring, Qt::Key_F10);
        QVERIFY(q.screen->isVisible());
        QCOMPARE(q.tiles().left(9), QStringLiteral("NNNNNNNN-"));
        q.key(Qt::Key_Escape);
        QVERIFY(!q.screen->isVisible());
        QVERIFY(scoring->isVisible());
    }
};

class ChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void marksAndReveal_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("keys"); // digits, E for Enter; KP for a keypad digit
        QTest::addColumn<QString>("looks");
        QTest::newRow("AC turns A and C red") << QStringList{u"甲"_s, u"乙"_s, u"丙"_s, u"丁"_s} << QStringLiteral("AC") << QStringLiteral("E")
                                              << QStringLiteral("R.R...");
        QTest::newRow("a grey mark that is not correct stays grey")
            << QStringList{u"甲"_s, u"乙"_s, u"丙"_s, u"丁"_s} << QStringLiteral("AC") << QStringLiteral("2E") << QStringLiteral("RgR...");
        QTest::newRow("a second Enter changes nothing")
            << QStringList{u"甲"_s, u"乙"_s, u"丙"_s, u"丁"_s} << QStringLiteral("AC") << QStringLiteral("E2E") << QStringLiteral("RgR...");
        QTest::newRow("lower case reveals nothing") << QStringList{u"甲"_s, u"乙"_s, u"丙"_s} << QStringLiteral("ac") << QStringLiteral("E")
                                                    << QStringLiteral("......");
        QTest::newRow("a red option cleared is revealed again")
            << QStringList{u"甲"_s, u"乙"_s} << QStringLiteral("A") << QStringLiteral("E1") << QStringLiteral("......");
        QTest::newRow("cleared then Enter") << QStringList{u"甲"_s, u"乙"_s} << QStringLiteral("A") << QStringLiteral("E1E")
                                            << QStringLiteral("R.....");
        QTest::newRow("a digit twice clears its mark") << QStringList{u"甲"_s, u"乙"_s} << QStringLiteral("B") << QStringLiteral("11")
                                                       << QStringLiteral("......");
        QTest::newRow("missing options ignore their digits")
            << QStringList{u"甲"_s, u"乙"_s, u""_s, u" "_s, u"戊"_s, u"己"_s} << QStringLiteral("E") << QStringLiteral("3456") << QStringLiteral("....gg");
        QTest::newRow("keypad digits do nothing") << QStringList{u"甲"_s, u"乙"_s} << QStringLiteral("A") << QStringLiteral("P1")
                                                  << QStringLiteral("......");
    }
    void marksAndReveal()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, answer);
        QFETCH(QString, keys);
        QFETCH(QString, looks);
        Quiz q;
        q.addChoice(1, 1, QStringLiteral("下列哪些是质数？"), options, answer);
        q.open();
        q.click(1);
        bool keypad = false;
        for (QChar c : keys) {
            if (c == QLatin1Char('P')) {
                keypad = true;
            } else if (c == QLatin1Char('E')) {
                q.key(Qt::Key_Return);
            } else {
                q.key(Qt::Key(Qt::Key_0 + c.digitValue()), keypad ? Qt::KeypadModifier : Qt::NoModifier);
                keypad = false;
            }
        }
        QCOMPARE(q.looks(), looks);
        for (int k = 0; k < quiz::kOptionCount; ++k) {
            const ShadowLabel *l = q.screen->lab_option[std::size_t(k)];
            QCOMPARE(l->background(), quiz::optionBackground(q.screen->optionLook(k)));
            QCOMPARE(!l->isHidden(), !options.value(k).trimmed().isEmpty());
            QCOMPARE(!q.screen->Image_option[std::size_t(k)]->isHidden(), !options.value(k).trimmed().isEmpty());
        }
    }

    void textsAndStylesAsStored()
    {
        Quiz q;
        q.add(1, 1, QStringLiteral("选择题"),
              {{QStringLiteral("tmmc"), QStringLiteral("长江发源于哪里？")}, {QStringLiteral("tmsize"), QStringLiteral("30")},
               {QStringLiteral("tmcolor"), QString::number(255 + 256 * 128)}, {QStringLiteral("tmbjs"), QString::number(0xFF0000)},
               {QStringLiteral("da1"), QStringLiteral(" 青藏高原 ")}, {QStringLiteral("da2"), QStringLiteral("云贵高原")},
               {QStringLiteral("dafont"), QStringLiteral("宋体")}, {QStringLiteral("zqda"), QStringLiteral(" A ")}});
        q.open();
        q.click(1);
        QCOMPARE(q.panels(), QStringLiteral("Panel_xzt"));
        const ShadowLabel *question = q.label(QStringLiteral("lab_xzttm"));
        QCOMPARE(question->text(), QStringLiteral("长江发源于哪里？"));
        QCOMPARE(question->font().pixelSize(), 40);
        QCOMPARE(question->textColour(), QColor(255, 128, 0));
        QCOMPARE(q.label(QStringLiteral("lab_a"))->text(), QStringLiteral(" 青藏高原 "));
        QCOMPARE(q.label(QStringLiteral("lab_a"))->font().family(), QStringLiteral("宋体"));
        QCOMPARE(q.screen->correct_answer(), QStringLiteral("A"));
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("30"));
        QCOMPARE(q.find(QStringLiteral("lab_b"))->geometry(), QRect(617, 371, 369, 91));
    }

    void styleThatIsNoNumberLeavesTheQuestionUnasked()
    {
        Quiz q;
        q.add(1, 1, kChoice, {{QStringLiteral("tmmc"), QStringLiteral("题目")}, {QStringLiteral("tmsize"), QStringLiteral("大")},
                              {QStringLiteral("da1"), QStringLiteral("甲")}});
        q.open();
        q.click(1);
        QCOMPARE(q.t.fakes.dialogs.errors, QStringList{QStringLiteral("“大”不是有效的整数。\n'大' is not a valid integer value")});
        QCOMPARE(q.used(1), QStringLiteral("0"));
        QCOMPARE(q.label(QStringLiteral("lab_xzttm"))->text(), QStringLiteral("题目")); // shown incompletely
    }

    void otherTypesAreNeitherShownNorMarked()
    {
        Quiz q;
        q.add(1, 1, QStringLiteral("填空题"), {{QStringLiteral("tmmc"), QStringLiteral("题目")}});
        q.add(2, 1, QStringLiteral("问答题 "), {{QStringLiteral("tmmc"), QStringLiteral("带空格")}});
        q.open();
        q.click(1);
        QCOMPARE(q.panels(), QString());
        QCOMPARE(q.used(1), QStringLiteral("0"));
        q.key(Qt::Key_Apostrophe);
        q.screen->countdown_tick(); // a tick of no known type does nothing
        QVERIFY(q.effects().isEmpty());
        q.key(Qt::Key_Escape);
        q.click(2);
        QCOMPARE(q.screen->current_type(), kAnswer);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("带空格"));
        QCOMPARE(q.used(2), QStringLiteral("1"));
    }
};

class AnswerAndPictureTest : public QObject {
    Q_OBJECT
private slots:
    void answerTakesTheQuestionsPlace()
    {
        Quiz q;
        q.add(1, 1, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("地球绕太阳一周要多久？")}, {QStringLiteral("danr"), QStringLiteral("约365天")},
                              {QStringLiteral("dasize"), QStringLiteral("36")}});
        q.open();
        q.click(1);
        QVERIFY(q.shown(QStringLiteral("ed_wendati")));
        QVERIFY(!q.shown(QStringLiteral("ed_wendatida")));
        QCOMPARE(q.label(QStringLiteral("ed_wendatida"))->font().pixelSize(), 48);
        q.key(Qt::Key_Return);
        QVERIFY(!q.shown(QStringLiteral("ed_wendati")));
        QVERIFY(q.shown(QStringLiteral("ed_wendatida")));
        QCOMPARE(q.label(QStringLiteral("ed_wendatida"))->text(), QStringLiteral("约365天"));
        // Delete on a question that is no matching question does nothing.
        q.key(Qt::Key_Delete);
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    void pictureAndItsAnswerPicture()
    {
        Quiz q;
        q.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/q.jpg"), QSize(80, 60), Qt::blue);
        q.t.folder.writePicture(QStringLiteral("多媒体素材/答案/图片题答案/a.jpg"), QSize(80, 60), Qt::red);
        q.add(1, 1, kPicture, {{QStringLiteral("tmmc"), QStringLiteral(" q.jpg ")}, {QStringLiteral("danr"), QStringLiteral("a.jpg")}});
        q.t.fakes.random.script << 4 << 2;
        q.open();
        q.click(1);
        QCOMPARE(q.panels(), QStringLiteral("Panel_tupianti"));
        QVERIFY(pixel(q.screen->image_tupianti, QPoint(40, 30)).blue() > 200);
        QCOMPARE(q.screen->image_tupianti->effect(), 4);
        QVERIFY(q.screen->image_tupianti->inTransition());
        QCOMPARE(q.screen->answer_picture_path(), q.t.folder.file(QStringLiteral("多媒体素材/答案/图片题答案/a.jpg")));
        QCOMPARE(q.used(1), QStringLiteral("1"));
        q.key(Qt::Key_Return);
        QVERIFY(pixel(q.screen->image_tupianti, QPoint(40, 30)).red() > 200);
        QCOMPARE(q.screen->image_tupianti->effect(), 2);
    }

    void missingPicturesAreReported()
    {
        Quiz q;
        q.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/q.jpg"), QSize(80, 60), Qt::blue);
        q.add(1, 1, kPicture, {{QStringLiteral("tmmc"), QStringLiteral("q.jpg")}, {QStringLiteral("danr"), QStringLiteral("none.jpg")}});
        q.add(1, 2, kPicture, {{QStringLiteral("tmmc"), QStringLiteral("gone.jpg")}});
        q.open();
        q.click(1);
        // A missing answer picture leaves the picture empty.
        q.key(Qt::Key_Return);
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(q.t.fakes.dialogs.errors[0].contains(QStringLiteral("none.jpg")));
        QVERIFY(q.screen->image_tupianti->isEmpty());
        // A missing question picture: reported, the question stays unasked.
        q.key(Qt::Key_Up);
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 2);
        QVERIFY(q.t.fakes.dialogs.errors[1].contains(QStringLiteral("gone.jpg")));
        QCOMPARE(q.used(1), QStringLiteral("10"));
        QCOMPARE(q.panels(), QStringLiteral("Panel_tupianti"));
    }

    // A question whose file is gone or cannot be played: one report over a panel with only its backdrop and
    // countdown, Up goes on with the group, and the question stays unasked for a later showing.
    void brokenQuestionDoesNotBlockItsGroup_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // what lies under the name; empty: nothing
        QTest::addColumn<bool>("undecodable");   // the player takes it and fails on it later
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("box"); // the countdown box in view
        QTest::newRow("picture gone") << kPicture << u"gone.jpg"_s << QByteArray() << false << u"Panel_tupianti"_s << u"Panel"_s;
        QTest::newRow("clip gone") << kMedia << u"song.MP3"_s << QByteArray() << false << u"Panel_duomeiti"_s << u"Panel3"_s;
        QTest::newRow("Flash movie gone") << kMedia << u"film.swf"_s << QByteArray() << false << u"Panel_duomeiti"_s << u"Panel3"_s;
        QTest::newRow("text saved as a Flash movie")
            << kMedia << u"notes.swf"_s << QByteArray("not a movie") << false << u"Panel_duomeiti"_s << u"Panel3"_s;
        QTest::newRow("clip that cannot be decoded")
            << kMedia << u"bad.avi"_s << QByteArray("not a clip") << true << u"Panel_duomeiti"_s << u"Panel3"_s;
    }
    void brokenQuestionDoesNotBlockItsGroup()
    {
        QFETCH(QString, type);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, undecodable);
        QFETCH(QString, panel);
        QFETCH(QString, box);
        Quiz q;
        q.layClips = false;
        if (!content.isEmpty())
            q.layClip(name, content);
        q.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/q.jpg"), QSize(80, 60), Qt::blue);
        q.t.folder.writePicture(QStringLiteral("多媒体素材/答案/图片题答案/a.jpg"), QSize(80, 60), Qt::red);
        q.add(1, 1, kPicture, {{QStringLiteral("tmmc"), QStringLiteral("q.jpg")}});
        q.add(1, 2, type, {{QStringLiteral("tmmc"), name}, {QStringLiteral("danr"), QStringLiteral("a.jpg")}});
        q.add(1, 3, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("第三题")}});
        q.open();
        q.click(1);
        QVERIFY(pixel(q.screen->image_tupianti, QPoint(40, 30)).blue() > 200);
        q.key(Qt::Key_Up);
        if (undecodable) {
            QCOMPARE(q.used(1), QStringLiteral("110"));
            const QString path = q.screen->context().paths.named(assets::mediaFolder(assets::mediaKind(name)), name);
            QVERIFY(q.screen->media->failed(path, QStringLiteral("无法播放文件“bad.avi”。")));
            q.screen->media->failed(path, QStringLiteral("无法播放文件“bad.avi”。")); // the clip is closed: heard of once
        }
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(q.t.fakes.dialogs.errors[0].contains(name));
        QCOMPARE(q.used(1), QStringLiteral("100"));
        QCOMPARE(q.panels(), panel);
        QVERIFY(q.shown(box));
        QVERIFY(q.screen->brokenOnDisplay());
        // Nothing of the last question, no player, nothing for Enter to reveal.
        const bool picture = type == kPicture;
        if (picture)
            QVERIFY(q.screen->image_tupianti->isEmpty());
        else
            QVERIFY(!q.shown(QStringLiteral("media")) && !q.shown(QStringLiteral("lab_audio")));
        q.key(Qt::Key_Return);
        QCOMPARE(q.screen->image_tupianti->isEmpty(), picture);
        QCOMPARE(q.panels(), panel);
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);

        q.key(Qt::Key_Up);
        QCOMPARE(q.label(QStringLiteral("ed_wendati"))->text(), QStringLiteral("第三题"));
        QCOMPARE(q.used(1), QStringLiteral("101"));
        q.key(Qt::Key_Up);
        QVERIFY(q.screen->boardVisible());
        QCOMPARE(q.tiles().left(1), QStringLiteral("o"));

        // Mended, it plays at the next showing, where the tile has kept a way in.
        q.key(Qt::Key_Escape);
        if (type == kPicture)
            q.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/") + name, QSize(80, 60), Qt::green);
        else
            q.layClip(name);
        q.open();
        QCOMPARE(q.tiles().left(1), QStringLiteral("o"));
        q.click(1);
        QCOMPARE(q.used(1), QStringLiteral("111"));
        QVERIFY(!q.screen->brokenOnDisplay());
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
    }
};

class MatchingTest : public QObject {
    Q_OBJECT
private slots:
    void linesAreDrawnIntoThePicture_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QList<QPoint>>("red");   // picture pixels on a line
        QTest::addColumn<QList<QPoint>>("white"); // pixels that stay white
        // Pair "11" runs from (391, 282) to (631, 283); "1" moves the pen, "x3" then starts there.
        QTest::newRow("one pair") << QStringList{u"11"_s, u""_s, u""_s, u""_s, u""_s} << QList<QPoint>{{391, 282}, {511, 282}, {631, 283}}
                                  << QList<QPoint>{{395, 286}, {511, 300}};
        QTest::newRow("pen stays at mark 2 for the next line")
            << QStringList{u"2"_s, u"x3"_s, u""_s, u""_s, u""_s} << QList<QPoint>{{391, 363}, {511, 404}, {632, 445}} << QList<QPoint>{{200, 182}};
        QTest::newRow("without a left digit the line starts at the corner")
            << QStringList{u"05"_s, u""_s, u""_s, u""_s, u""_s} << QList<QPoint>{{1, 1}, {316, 304}} << QList<QPoint>{{391, 282}};
        QTest::newRow("a right number that is no digit draws nothing")
            << QStringList{u"16"_s, u""_s, u""_s, u""_s, u""_s} << QList<QPoint>{} << QList<QPoint>{{391, 282}, {511, 282}};
    }
    void linesAreDrawnIntoThePicture()
    {
        QFETCH(QStringList, pairs);
        QFETCH(QList<QPoint>, red);
        QFETCH(QList<QPoint>, white);
        Quiz q;
        Fields f{{QStringLiteral("tmmc"), QStringLiteral("把诗人和朝代连起来")}};
        for (int k = 1; k <= 5; ++k) {
            f.insert(QStringLiteral("lxz%1").arg(k), QStringLiteral("左%1").arg(k));
            f.insert(QStringLiteral("lxy%1").arg(k), QStringLiteral("右%1").arg(k));
            f.insert(QStringLiteral("da%1").arg(k), pairs[k - 1]);
        }
        q.add(1, 1, kMatching, f);
        q.open();
        // The board shows the matching background until a matching question loads the drawing surface.
        QCOMPARE(pixel(q.screen->Image_lianxianti, QPoint(500, 400)), QColor(Qt::gray));
        q.click(1);
        QCOMPARE(q.panels(), QStringLiteral("Panel_lianxianti"));
        QCOMPARE(q.label(QStringLiteral("lab_lianxianti_daz3"))->text(), QStringLiteral("左3"));
        QCOMPARE(q.label(QStringLiteral("lab_lianxianti_day5"))->text(), QStringLiteral("右5"));
        QCOMPARE(q.screen->Image_lianxianti->pos(), QPoint(4, 4));
        QCOMPARE(pixel(q.screen->Image_lianxianti, QPoint(511, 282)), QColor(Qt::white));
        q.key(Qt::Key_Return);
        for (QPoint p : red)
            QCOMPARE(pixel(q.screen->Image_lianxianti, p), QColor(255, 0, 0));
        for (QPoint p : white)
            QCOMPARE(pixel(q.screen->Image_lianxianti, p), QColor(Qt::white));
        // Delete wipes the lines.
        q.key(Qt::Key_Delete);
        for (QPoint p : red)
            QCOMPARE(pixel(q.screen->Image_lianxianti, p), QColor(Qt::white));
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    void theLineIsFourPixelsWide()
    {
        Quiz q;
        q.add(1, 1, kMatching, {{QStringLiteral("da1"), QStringLiteral("11")}});
        q.open();
        q.click(1);
        q.key(Qt::Key_Return);
        int redRows = 0;
        for (int y = 270; y < 295; ++y)
            redRows += pixel(q.screen->Image_lianxianti, QPoint(500, y)) == QColor(255, 0, 0) ? 1 : 0;
        QCOMPARE(redRows, 4);
    }

    void missingDrawingSurfaceLeavesThePanelHidden()
    {
        Quiz q;
        q.add(1, 1, kMatching, {{QStringLiteral("da1"), QStringLiteral("11")}});
        q.open();
        QFile::remove(q.t.folder.file(QStringLiteral("系统图片/连线题.bmp")));
        q.click(1);
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
        QCOMPARE(q.panels(), QString());
        QCOMPARE(q.used(1), QStringLiteral("0"));
    }
};

class MediaTest : public QObject {
    Q_OBJECT
private slots:
    void kindsByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("panels");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("audio") << QStringLiteral("song.mp3") << QStringLiteral("Panel_duomeiti")
                               << QStringList{u"clip:setUrl:%1多媒体素材/题目/音频题/song.mp3"_s, u"clip:play:%1多媒体素材/题目/音频题/song.mp3"_s};
        QTest::newRow("upper-case MP3 is audio") << QStringLiteral("Clip.MP3") << QStringLiteral("Panel_duomeiti")
                                                 << QStringList{u"clip:setUrl:%1多媒体素材/题目/音频题/Clip.MP3"_s, u"clip:play:%1多媒体素材/题目/音频题/Clip.MP3"_s};
        QTest::newRow("upper-case SWF is Flash")
            << QStringLiteral("Film.SWF") << QStringLiteral("Panel_flash")
            << QStringList{u"flash:setMovie:%1多媒体素材/题目/flash题/Film.SWF"_s, u"flash:play:%1多媒体素材/题目/flash题/Film.SWF"_s};
        QTest::newRow("mpeg is video") << QStringLiteral("clip.mpeg") << QStringLiteral("Panel_duomeiti")
                                       << QStringList{u"clip:setUrl:%1多媒体素材/题目/视频题/clip.mpeg"_s, u"clip:play:%1多媒体素材/题目/视频题/clip.mpeg"_s};
        QTest::newRow("swf plays in the Flash panel")
            << QStringLiteral("film.swf") << QStringLiteral("Panel_flash")
            << QStringList{u"flash:setMovie:%1多媒体素材/题目/flash题/film.swf"_s, u"flash:play:%1多媒体素材/题目/flash题/film.swf"_s};
        QTest::newRow("unknown extension") << QStringLiteral("notes.txt") << QString() << QStringList{};
    }
    void kindsByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, panels);
        QFETCH(QStringList, log);
        Quiz q;
        q.add(1, 1, kMedia, {{QStringLiteral("tmmc"), name}});
        q.open();
        q.click(1);
        const int before = q.clipLog().lastIndexOf(QStringLiteral("flash:stop:")) + 1; // after the display's reset
        QStringList expected;
        for (const QString &line : log)
            expected << line.arg(q.t.folder.path());
        QCOMPARE(q.clipLog().mid(before), expected);
        QCOMPARE(q.panels(), panels);
        QCOMPARE(q.used(1), QStringLiteral("1"));
        if (panels == QLatin1String("Panel_duomeiti")) {
            const bool audio = name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
            QCOMPARE(q.shown(QStringLiteral("media")), !audio);
            QCOMPARE(q.shown(QStringLiteral("lab_audio")), audio);
        }
    }

    void playersNeverKeepTheKeyboard()
    {
        Quiz q;
        q.add(1, 1, kMedia, {{QStringLiteral("tmmc"), QStringLiteral("film.swf")}});
        q.open();
        QVERIFY(QTest::qWaitForWindowActive(q.screen));
        q.click(1);
        q.find(QStringLiteral("Flash1"))->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(q.screen));
        q.key(Qt::Key_Escape);
        QVERIFY(q.screen->boardVisible());
    }

    void nextQuestionStopsTheClipUnlessLocked_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("normal") << false;
        QTest::newRow("locked") << true;
    }
    void nextQuestionStopsTheClipUnlessLocked()
    {
        QFETCH(bool, locked);
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kCountdownLocked, locked ? QStringLiteral("1") : QStringLiteral("0"));
        q.add(1, 1, kMedia, {{QStringLiteral("tmmc"), QStringLiteral("song.wav")}});
        q.add(1, 2, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("问题")}});
        q.open();
        q.click(1);
        q.key(Qt::Key_Up);
        QCOMPARE(q.clipLog().last() == QStringLiteral("clip:close:") || q.clipLog().last() == QStringLiteral("flash:stop:"), !locked);
        // The clip's panel lies above the question's: it goes in both modes, so the question is seen.
        QCOMPARE(q.panels(), QStringLiteral("panel_wendati"));
    }
};

class CountdownTest : public QObject {
    Q_OBJECT
private slots:
    void tenWithThresholdThree()
    {
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kChoiceSeconds, QStringLiteral("10"));
        q.addChoice(1, 1, QStringLiteral("题目"), {u"甲"_s, u"乙"_s}, QStringLiteral("A"));
        q.open();
        q.click(1);
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("10"));
        q.key(Qt::Key_Apostrophe);
        QVERIFY(q.screen->time_djs->isActive());
        QCOMPARE(q.screen->time_djs->interval(), 1000);
        QStringList captions;
        for (int i = 0; i < 10; ++i) {
            q.screen->time_djsTimer();
            captions << q.caption(QuestionType::Choice);
        }
        QCOMPARE(captions.join(QLatin1Char(' ')), QStringLiteral("9 8 7 6 5 4 3 2 1 0"));
        QCOMPARE(q.effects(), (QStringList{u"倒计时.wav"_s, u"倒计时.wav"_s, u"倒计时.wav"_s, u"倒计时.wav"_s, u"时间到.wav"_s}));
        QVERIFY(q.screen->time_djs->isActive());
        q.screen->time_djsTimer();
        QVERIFY(!q.screen->time_djs->isActive());
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("0"));
        // Started again after zero, the first tick stops it silently.
        q.key(Qt::Key_Apostrophe);
        q.screen->time_djsTimer();
        QVERIFY(!q.screen->time_djs->isActive());
        QCOMPARE(q.effects().size(), 5);
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }

    void enterStopsAndTheKeyResumes()
    {
        Quiz q;
        q.add(1, 1, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("问题")}});
        q.open();
        q.click(1);
        q.key(Qt::Key_Apostrophe);
        q.screen->time_djsTimer();
        q.key(Qt::Key_Return);
        QVERIFY(!q.screen->time_djs->isActive());
        QCOMPARE(q.caption(QuestionType::Answer), QStringLiteral("39"));
        q.key(Qt::Key_Apostrophe);
        q.screen->time_djsTimer();
        QCOMPARE(q.caption(QuestionType::Answer), QStringLiteral("38"));
        // The reset key sets every caption and leaves the timer as it is.
        q.key(Qt::Key_Semicolon);
        QVERIFY(q.screen->time_djs->isActive());
        QCOMPARE(q.caption(QuestionType::Answer), QStringLiteral("40"));
        QCOMPARE(q.caption(QuestionType::Media), QStringLiteral("70"));
    }

    void designCaptionsUntilTheFirstReset()
    {
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kCountdownLocked, QStringLiteral("1"));
        q.add(1, 1, kMatching);
        q.open();
        q.click(1);
        QCOMPARE(q.caption(QuestionType::Matching), QStringLiteral("180"));
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("46"));
        QCOMPARE(q.find(QStringLiteral("Panel2"))->geometry(), QRect(872, 10, 116, 69));
        QCOMPARE(q.label(QStringLiteral("lab_lxttime"))->font().pixelSize(), 67);
        QCOMPARE(q.label(QStringLiteral("lab_time"))->font().pixelSize(), 93);
        q.key(Qt::Key_Semicolon);
        QCOMPARE(q.caption(QuestionType::Matching), QStringLiteral("50"));
    }

    void changeOfQuestion_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("caption");
        QTest::newRow("locked: runs on from 25") << true << true << QStringLiteral("25");
        QTest::newRow("normal: stopped at the start value") << false << false << QStringLiteral("30");
    }
    void changeOfQuestion()
    {
        QFETCH(bool, locked);
        QFETCH(bool, running);
        QFETCH(QString, caption);
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kCountdownLocked, locked ? QStringLiteral("1") : QStringLiteral("0"));
        q.addChoice(1, 1, QStringLiteral("第一题"), {u"甲"_s, u"乙"_s}, QStringLiteral("A"));
        q.addChoice(1, 2, QStringLiteral("第二题"), {u"丙"_s, u"丁"_s}, QStringLiteral("B"));
        q.open();
        q.key(Qt::Key_Semicolon);
        q.click(1);
        q.key(Qt::Key_Apostrophe);
        for (int i = 0; i < 5; ++i)
            q.screen->time_djsTimer();
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("25"));
        q.key(Qt::Key_Up);
        QCOMPARE(q.label(QStringLiteral("lab_xzttm"))->text(), QStringLiteral("第二题"));
        QCOMPARE(q.screen->time_djs->isActive(), running);
        QCOMPARE(q.caption(QuestionType::Choice), caption);
        QCOMPARE(q.looks(), QStringLiteral("......"));
    }

    void lockedModeShowsTheNextQuestionOverTheLastPanel()
    {
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kCountdownLocked, QStringLiteral("1"));
        q.add(1, 1, kMatching, {{QStringLiteral("da1"), QStringLiteral("11")}});
        q.addChoice(1, 2, QStringLiteral("第二题"), {u"甲"_s, u"乙"_s}, QStringLiteral("A"));
        q.open();
        q.click(1);
        q.key(Qt::Key_Apostrophe);
        q.screen->time_djsTimer();
        q.key(Qt::Key_Up);
        QCOMPARE(q.panels(), QStringLiteral("Panel_xzt"));
        QVERIFY(q.screen->time_djs->isActive());
        QCOMPARE(q.caption(QuestionType::Matching), QStringLiteral("179"));
        q.screen->time_djsTimer();
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("45"));
    }

    void countdownGoesOnBehindTheBoardAndAfterClosing()
    {
        Quiz q;
        q.add(1, 1, kAnswer, {{QStringLiteral("tmmc"), QStringLiteral("问题")}});
        q.t.folder.setConfig(keys::kQuiz, keys::kAnswerSeconds, QStringLiteral("3"));
        q.open();
        q.click(1);
        q.key(Qt::Key_Apostrophe);
        q.key(Qt::Key_Escape);
        q.screen->time_djsTimer();
        q.key(Qt::Key_Escape);
        QVERIFY(!q.screen->isVisible());
        q.screen->time_djsTimer();
        QCOMPARE(q.caption(QuestionType::Answer), QStringLiteral("1"));
        QCOMPARE(q.effects(), (QStringList{u"倒计时.wav"_s, u"倒计时.wav"_s}));
    }

    // A sound effect that cannot be played is reported once in a showing; the clock goes on meanwhile and
    // after, without trying that sound again, and the next showing tries it anew.
    void failingSoundIsReportedOncePerShowing_data()
    {
        QTest::addColumn<bool>("openFails"); // false: the player opens it and fails while decoding
        QTest::newRow("missing file") << true;
        QTest::newRow("undecodable file") << false;
    }
    void failingSoundIsReportedOncePerShowing()
    {
        QFETCH(bool, openFails);
        Quiz q;
        q.t.folder.setConfig(keys::kQuiz, keys::kChoiceSeconds, QStringLiteral("5"));
        q.addChoice(1, 1, QStringLiteral("题目"), {u"甲"_s}, QStringLiteral("A"));
        q.open();
        q.click(1);
        FakeMediaPlayer *player = q.effectPlayer();
        QVERIFY(player);
        const QString tick = q.t.folder.file(QStringLiteral("音效/倒计时.wav"));
        auto tickOpens = [&] { return q.t.fakes.media.log.lines.filter(QStringLiteral("frm_tm:open:") + tick).size(); };
        if (openFails)
            player->failOpen = QStringLiteral("无法找到指定的文件。\n") + tick;
        // While the box is up the clock ticks on.
        int nested = 0;
        q.t.fakes.dialogs.onError = [&](const QString &) {
            if (nested++ == 0)
                q.screen->time_djsTimer();
        };
        q.key(Qt::Key_Apostrophe);
        q.screen->time_djsTimer(); // 4
        q.screen->time_djsTimer(); // 3: the first tick sound
        if (!openFails)
            QVERIFY(player->failed(tick, QStringLiteral("无法播放文件“倒计时.wav”。"))); // 2, ticked while the box is up
        else
            QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("2"));
        q.t.fakes.dialogs.onError = {};
        player->failOpen.clear();
        q.screen->time_djsTimer();
        q.screen->time_djsTimer();
        QCOMPARE(q.caption(QuestionType::Choice), QStringLiteral("0"));
        QCOMPARE(q.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(q.t.fakes.dialogs.errors[0].contains(QStringLiteral("倒计时.wav")));
        QCOMPARE(tickOpens(), 1);
        QCOMPARE(q.effects().filter(QStringLiteral("时间到.wav")).size(), 1); // the time-up sound is its own file
        QVERIFY(q.screen->time_djs->isActive());

        // The next showing tries the tick sound again.
        q.key(Qt::Key_Escape);
        q.key(Qt::Key_Escape);
        q.open();
        q.key(Qt::Key_Semicolon);
        q.screen->time_djs->start();
        q.screen->time_djsTimer();
        q.screen->time_djsTimer();
        QCOMPARE(tickOpens(), 2);
    }
};

// Renders the screen for a look when QUELMORA_SCREENSHOTS names a folder.
class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void render()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        // The program folder's own artwork, when the build laid it out.
        const QString built = QStringLiteral(QUELMORA_PROGRAM_DIR) + QStringLiteral("/系统图片/");
        Quiz q;
        for (const char *name : {"选题背景.jpg", "选择题背景.jpg", "问答题背景.jpg", "连线题背景.bmp", "多媒体题背景.jpg", "选题框.gif",
                                 "连线题.bmp"}) {
            const QString source = built + QString::fromUtf8(name);
            if (QFile::exists(source)) {
                const QString target = q.t.folder.file(QStringLiteral("系统图片/") + QString::fromUtf8(name));
                QFile::remove(target);
                QVERIFY(QFile::copy(source, target));
            }
        }
        q.add(2, 1, kAnswer, {}, 0, true);
        q.add(1, 1, kChoice,
              {{QStringLiteral("tmmc"), QStringLiteral("下列城市中，哪两座是中国的直辖市？")},
               {QStringLiteral("da1"), QStringLiteral("上海")}, {QStringLiteral("da2"), QStringLiteral("杭州")},
               {QStringLiteral("da3"), QStringLiteral("重庆")}, {QStringLiteral("da4"), QStringLiteral("南京")},
               {QStringLiteral("zqda"), QStringLiteral("AC")}, {QStringLiteral("tmsize"), QStringLiteral("32")},
               {QStringLiteral("dasize"), QStringLiteral("30")}, {QStringLiteral("dacolor"), QStringLiteral("16777215")}});
        Fields matching{{QStringLiteral("tmmc"), QStringLiteral("请把诗人与他所在的朝代连起来")}};
        const QStringList left{u"屈原"_s, u"李白"_s, u"苏轼"_s, u"关汉卿"_s, u"曹雪芹"_s};
        const QStringList right{u"宋"_s, u"清"_s, u"战国"_s, u"唐"_s, u"元"_s};
        const QStringList pairs{u"13"_s, u"24"_s, u"31"_s, u"45"_s, u"52"_s};
        for (int k = 1; k <= 5; ++k) {
            matching.insert(QStringLiteral("lxz%1").arg(k), left[k - 1]);
            matching.insert(QStringLiteral("lxy%1").arg(k), right[k - 1]);
            matching.insert(QStringLiteral("da%1").arg(k), pairs[k - 1]);
        }
        q.add(3, 1, kMatching, matching);
        q.open();
        QVERIFY(q.screen->grab().save(folder + QStringLiteral("/quiz_board.png")));
        q.click(1);
        q.key(Qt::Key_2);
        q.key(Qt::Key_Return);
        QVERIFY(q.screen->grab().save(folder + QStringLiteral("/quiz_choice_revealed.png")));
        q.key(Qt::Key_Escape);
        q.click(3);
        q.key(Qt::Key_Return);
        QVERIFY(q.screen->grab().save(folder + QStringLiteral("/quiz_matching_lines.png")));
        QVERIFY(q.t.fakes.dialogs.errors.isEmpty());
    }
};

QUELMORA_TEST_MAIN(BoardTest, ChoiceTest, AnswerAndPictureTest, MatchingTest, MediaTest, CountdownTest, ScreenshotTest)
#include "tst_quiz_screen.moc"
