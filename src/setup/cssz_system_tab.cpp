#include "cssz_system_tab.h"

#include "cssz_widgets.h"
#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/settings_keys.h"
#include "ui/stage_window.h"

#include <QGroupBox>
#include <QListWidget>

namespace cssz {

namespace {

const QString kBadTime = QStringLiteral("你输入的时间格式有错误或者有非法字符，请检查!");

bool isWholeNumber(const QString &text)
{
    try {
        decimal_text::toInt(text);
        return true;
    } catch (const AppError &) {
        return false;
    }
}

} // namespace

SystemTab::SystemTab(StageWindow &screen) : m_screen(screen)
{
    setObjectName(QStringLiteral("show_xtcssz"));
    using namespace setup_rules;
    QGroupBox *g = group(this, QStringLiteral("系统参数设置："), QRect(5, 5, 990, 630));

    label(g, QStringLiteral("通讯端口："), 15, 28);
    combo_tongxun = combo(g, QStringLiteral("combo_tongxun"), 85, 28, 60, numbers(8), QStringLiteral("1"));
    label(g, QStringLiteral("得分小数点保留："), 175, 28);
    combo_xsd = combo(g, QStringLiteral("combo_xsd"), 280, 28, 50, numbers(3), QStringLiteral("1"));
    label(g, QStringLiteral("位"), 335, 28);
    label(g, QStringLiteral("得分排名显示模式："), 375, 28);
    combo_pmms = combo(g, QStringLiteral("combo_pmms"), 495, 28, 100, {kSkipRanks, kDenseRanks}, kSkipRanks);
    label(g, QStringLiteral("得分统计模式："), 625, 28);
    combo_dftjms = combo(g, QStringLiteral("combo_dftjms"), 720, 28, 250, {kDropExtremes, kAverageAll}, kDropExtremes);

    QGroupBox *rounds = group(g, QStringLiteral("每轮评分参数设置："), QRect(10, 62, 970, 120));
    for (int r = 1; r <= kRounds; ++r) {
        const int x = 10 + 240 * (r - 1);
        const QString n = QString::number(r);
        label(rounds, keys::roundLowest(r) + QStringLiteral("："), x, 25);
        ed_zd[r - 1] = edit(rounds, QStringLiteral("ed_hj%1_zd").arg(n), x + 115, 25, 70);
        label(rounds, QStringLiteral("分"), x + 190, 25);
        label(rounds, keys::roundHighest(r) + QStringLiteral("："), x, 55);
        ed_zg[r - 1] = edit(rounds, QStringLiteral("ed_hj%1_zg").arg(n), x + 115, 55, 70);
        label(rounds, QStringLiteral("分"), x + 190, 55);
        label(rounds, keys::roundKey(r, QStringLiteral("得分系数：")), x, 85);
        ed_dfxs[r - 1] = edit(rounds, QStringLiteral("ed_hj%1_dfxs").arg(n), x + 115, 85, 70);
    }

    QGroupBox *quiz = group(g, QStringLiteral("题目参数设置："), QRect(10, 192, 620, 428));
    const QStringList countdownCaptions{QStringLiteral("选择题倒计时："), QStringLiteral("问答题倒计时："),
                                        QStringLiteral("连线题倒计时："), QStringLiteral("图片题倒计时："),
                                        QStringLiteral("多媒体题倒计时：")};
    auto row = [](int i) { return 28 + 40 * i; };
    for (int i = 0; i < kCountdowns; ++i) {
        label(quiz, countdownCaptions[i], 15, row(i));
        ed_countdowns[i] = edit(quiz, countdownEditName(i), 135, row(i), 60);
        label(quiz, QStringLiteral("秒"), 200, row(i));
    }
    label(quiz, QStringLiteral("统一设置时间："), 15, row(5));
    ed_tongyitime1 = edit(quiz, QStringLiteral("ed_tongyitime1"), 135, row(5), 60);
    label(quiz, QStringLiteral("秒"), 200, row(5));
    label(quiz, QStringLiteral("倒计时开始音效："), 15, row(6));
    ed_djsyx1 = edit(quiz, QStringLiteral("ed_djsyx1"), 135, row(6), 60);
    label(quiz, QStringLiteral("秒"), 200, row(6));
    label(quiz, QStringLiteral("锁定倒计时："), 15, row(7));
    combo_djssd1 = combo(quiz, QStringLiteral("combo_djssd1"), 135, row(7), 75, {kLocked, kUnlocked}, kUnlocked);
    label(quiz, QStringLiteral("显示选择题目个数："), 15, row(8));
    combo_tmgs2 = combo(quiz, QStringLiteral("combo_tmgs2"), 135, row(8), 60, numbers(kTiles), QStringLiteral("1"));

    // The style sizes a group's title by the ink of its glyphs, which the full-width brackets of this one
    // leave out, and cut its closing bracket: a label of the title's full width stands in for it.
    QGroupBox *tiles = group(quiz, QStringLiteral(" "), QRect(232, 18, 378, 400));
    QLabel *tilesTitle = label(tiles, QStringLiteral("（选择题目汉字或者数字）"), 6, -3, -1, QStringLiteral("lab_tmgs_title"));
    tilesTitle->setAutoFillBackground(true);
    for (int t = 1; t <= kTiles; ++t) {
        const int column = (t - 1) % 3, line = (t - 1) / 3;
        const int x = 10 + 122 * column, y = 25 + 53 * line;
        label(tiles, QStringLiteral("%1：").arg(t), x, y, 28);
        ed_2[t - 1] = edit(tiles, QStringLiteral("ed_2_%1").arg(t), x + 28, y, 84);
    }

    QGroupBox *presets = group(g, QStringLiteral("“M”键大窗口倒计时设置"), QRect(640, 192, 340, 428));
    ListBox1 = new QListWidget(presets);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(15, 25, 150, 390);
    ed_djs = edit(presets, QStringLiteral("ed_djs"), 185, 25, 100);
    label(presets, QStringLiteral("秒"), 290, 25);
    Button25 = button(presets, QStringLiteral("Button25"), QStringLiteral("增加"), 185, 60);
    Button26 = button(presets, QStringLiteral("Button26"), QStringLiteral("删除"), 185, 95);
    label(presets, QStringLiteral("倒计时开始音效："), 185, 150);
    ed_djsyx = edit(presets, QStringLiteral("ed_djsyx"), 185, 178, 60);
    label(presets, QStringLiteral("秒"), 250, 178);

    connect(ed_tongyitime1, &QLineEdit::textChanged, this, [this] { m_screen.guard([this] { copyUniformTime(); }); });
    connect(Button25, &QPushButton::clicked, this, [this] { m_screen.guard([this] { addPreset(); }); });
    connect(Button26, &QPushButton::clicked, this, [this] { m_screen.guard([this] { deletePreset(); }); });
}

void SystemTab::loadScoring()
{
    const SettingsFiles &s = m_screen.context().settings;
    combo_tongxun->setEditText(s.read(keys::kSystem, keys::kSerialPort));
    // A value the lists do not know leaves the text they show.
    if (const auto t = setup_rules::decimalsText(s.read(keys::kScoring, keys::kDecimals)))
        combo_xsd->setEditText(*t);
    if (const auto t = setup_rules::rankModeText(s.read(keys::kScoring, keys::kRankMode)))
        combo_pmms->setEditText(*t);
    if (const auto t = setup_rules::tallyModeText(s.read(keys::kScoring, keys::kTallyMode)))
        combo_dftjms->setEditText(*t);
    ed_djsyx->setText(s.read(keys::kContest, keys::kBigCountdownSound).trimmed());
    for (int r = 1; r <= setup_rules::kRounds; ++r) {
        ed_zd[r - 1]->setText(s.read(keys::kContest, keys::roundLowest(r)).trimmed());
        ed_zg[r - 1]->setText(s.read(keys::kContest, keys::roundHighest(r)).trimmed());
        ed_dfxs[r - 1]->setText(s.read(keys::kContest, keys::roundCoefficient(r)).trimmed());
    }
}

void SystemTab::loadQuiz()
{
    const SettingsFiles &s = m_screen.context().settings;
    for (int i = 0; i < setup_rules::kCountdowns; ++i)
        ed_countdowns[i]->setText(s.read(keys::kQuiz, setup_rules::countdownKey(i)));
    ed_djsyx1->setText(s.read(keys::kQuiz, keys::kCountdownSoundFrom));
    combo_djssd1->setEditText(setup_rules::lockedText(s.read(keys::kQuiz, keys::kCountdownLocked)));
    combo_tmgs2->setEditText(s.read(keys::kQuiz, keys::kTileCount));
    for (int t = 1; t <= setup_rules::kTiles; ++t)
        ed_2[t - 1]->setText(s.read(keys::kQuiz, keys::tileCaption(t)));
}

void SystemTab::fillPresets()
{
    ListBox1->clear();
    Dataset &q = m_screen.context().data->adoq_ls;
    q.close();
    q.setSql(QStringLiteral("select * from djs order by js"));
    q.open();
    QStringList values;
    for (int r = 0; r < q.recordCount(); ++r)
        values << q.valueAt(r, 0).toString();
    ListBox1->addItems(values);
}

void SystemTab::copyUniformTime()
{
    const QString text = ed_tongyitime1->text().trimmed();
    // An emptied box is the operator about to type a new time: it stays empty (a "0" put in now would
    // turn the 45 typed next into "045") and the countdowns keep theirs.
    if (text.isEmpty())
        return;
    if (!isWholeNumber(text)) {
        m_screen.context().dialogs().information(&m_screen, kBadTime);
        return;
    }
    for (QLineEdit *e : ed_countdowns)
        e->setText(text);
}

void SystemTab::addPreset()
{
    const QString value = ed_djs->text().trimmed();
    if (value.isEmpty())
        return;
    // The big-screen countdown counts down from the preset: a time it cannot count is not stored.
    if (const auto refusal = setup_rules::presetRefusal(value)) {
        m_screen.context().dialogs().information(&m_screen, *refusal);
        return;
    }
    Dataset &q = m_screen.context().data->adoq_ls;
    q.close();
    q.setSql(QStringLiteral("select * from djs"));
    q.open();
    q.append();
    q.setValue(QStringLiteral("js"), value);
    q.post();
    fillPresets();
}

void SystemTab::deletePreset()
{
    QListWidgetItem *item = ListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString value = item->text().trimmed();
    Dataset &q = m_screen.context().data->adoq_ls;
    q.close();
    q.setSql(QStringLiteral("delete from djs where js=:ls"));
    q.bindText(QStringLiteral(":ls"), value);
    q.execute();
    // Every row of that value went: the list shows what the table holds now.
    fillPresets();
}

void SystemTab::fillForm(setup_rules::SettingsForm &f) const
{
    f.serialPort = combo_tongxun->currentText();
    f.decimals = combo_xsd->currentText();
    f.rankMode = combo_pmms->currentText();
    f.tallyMode = combo_dftjms->currentText();
    f.bigCountdownSound = ed_djsyx->text();
    for (int r = 0; r < setup_rules::kRounds; ++r) {
        f.lowest[r] = ed_zd[r]->text();
        f.highest[r] = ed_zg[r]->text();
        f.coefficient[r] = ed_dfxs[r]->text();
    }
    for (int i = 0; i < setup_rules::kCountdowns; ++i)
        f.countdowns[i] = ed_countdowns[i]->text();
    f.countdownSoundFrom = ed_djsyx1->text();
    f.locked = combo_djssd1->currentText();
    f.tileCount = combo_tmgs2->currentText();
    for (int t = 0; t < setup_rules::kTiles; ++t)
        f.tileCaptions[t] = ed_2[t]->text();
}

} // namespace cssz
