#include "tfrm_pfmain.h"

#include "media/asset_paths.h"
#include "quiz/tfrm_tm.h"
#include "scoring/tfrm_dfpm.h"
#include "settings/settings_keys.h"
#include "show/tfrm_djs.h"
#include "show/tfrm_jz.h"
#include "show/tfrm_xsjs.h"
#include "show/tfrm_zjs.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <climits>

using score_rules::Mark;

namespace {

constexpr int kBlinkMs = 200;
constexpr int kTestScorePauseMs = 100;

QString noJudgesText(int count)
{
    return QStringLiteral("评委个数设置为%1，应为1到12：现在无法录入和显示评委分数，请在参数设置中修改评委个数。").arg(count);
}

QColor markColour(Mark mark)
{
    switch (mark) {
    case Mark::Highest: return QColor(255, 0, 0);
    case Mark::Lowest: return QColor(255, 255, 0);
    case Mark::None: break;
    }
    return QColor(255, 255, 255);
}

} // namespace

Tfrm_pfmain::Tfrm_pfmain(AppContext &context)
    : StageWindow(context, QStringLiteral("frm_pfmain")), m_link(context.services.judges)
{
    Panel_pf = new QFrame(this);
    Panel_pf->setObjectName(QStringLiteral("Panel_pf"));
    Panel_pf->setGeometry(0, 0, kStageWidth, kStageHeight);
    Image_pf = new Picture(Panel_pf, QStringLiteral("Image_pf"));
    Image_pf->setGeometry(Panel_pf->rect());
    Image_pf->setStretch(true);

    lab_lunshu = new ShadowLabel(this, QStringLiteral("lab_lunshu"));
    lab_lunshu->setGeometry(8, 8, 51, 16);
    lab_lunshu->setFont(stageFont(QStringLiteral("黑体"), 16, true));
    lab_lunshu->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lab_lunshu->setText(QStringLiteral("第0轮"));

    lab_xsxm = new ShadowLabel(this, QStringLiteral("lab_xsxm"));
    lab_xsxm->setGeometry(-11, 97, 448, 33);
    lab_xsxm->setFont(stageFont(QStringLiteral("黑体"), 32, true));
    lab_xsxm->setTextColour(Qt::white);
    lab_xsxm->setAlignment(Qt::AlignCenter);

    lab_xsbh = new ShadowLabel(this, QStringLiteral("lab_xsbh"));
    lab_xsbh->setGeometry(24, 745, 40, 22);
    lab_xsgs = new ShadowLabel(this, QStringLiteral("lab_xsgs"));
    lab_xsgs->setGeometry(64, 745, 72, 22);
    for (ShadowLabel *l : {lab_xsbh, lab_xsgs}) {
        l->setFont(stageFont(QStringLiteral("黑体"), 20, true));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    for (int j = 0; j < kMaxJudges; ++j) {
        judges[j] = new pfmain::JudgePanel(this, j + 1);
        judges[j]->hide();
    }

    if (m_link)
        connect(m_link, &judging::JudgeLink::scoreArrived, this,
                [this](int seat, const QString &value) { guard([this, seat, &value] { phoneScore(seat, value); }); });

    panel_df = new pfmain::ScorePanel(this, pfmain::kWithPhoto);
    panel_df->hide();
    Panel_df1 = new pfmain::ScorePanel(this, pfmain::kWithoutPhoto);
    Panel_df1->hide();

    auto timer = [this](const QString &name, void (Tfrm_pfmain::*tick)()) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        connect(t, &QTimer::timeout, this, [this, tick] { guard([this, tick] { (this->*tick)(); }); });
        return t;
    };
    time_max = timer(QStringLiteral("time_max"), &Tfrm_pfmain::time_maxTimer);
    time_min = timer(QStringLiteral("time_min"), &Tfrm_pfmain::time_minTimer);
    time_total = timer(QStringLiteral("time_total"), &Tfrm_pfmain::time_totalTimer);
    time_totalmin = timer(QStringLiteral("time_totalmin"), &Tfrm_pfmain::time_totalminTimer);
}

void Tfrm_pfmain::makeWidgets()
{
    // The entry panel's twelve edit boxes lay out text when they are made: made at the first opening, the
    // show's start-up does not wait for them. It lies under the score panels: Esc takes those away first.
    panel_sdsrfs = new pfmain::EntryPanel(this);
    panel_sdsrfs->hide();
    panel_sdsrfs->stackUnder(panel_df);
    connect(panel_sdsrfs->Button1, &QPushButton::clicked, this, [this] { guard([this] { confirmEntry(); }); });
    connect(panel_sdsrfs->BitBtn2, &QPushButton::clicked, this, [this] { guard([this] { cancelEntry(); }); });
    connect(panel_sdsrfs->Button2, &QPushButton::clicked, this, [this] { guard([this] { generateTestScores(); }); });
    panel_wsd = new pfmain::MissingStrip(this);
    panel_wsd->hide();
    panel_wsd->stackUnder(panel_df);
    if (m_link) {
        for (int j = 0; j < kMaxJudges; ++j)
            connect(panel_sdsrfs->boxes[j], &QLineEdit::textEdited, this, [this, j] { guard([this, j] { entryEdited(j + 1); }); });
    }
}

void Tfrm_pfmain::onShow()
{
    AppContext &c = context();
    c.current_round = 0;
    m_reportedPhotos.clear();
    m_failedPhotos.clear();
    if (Image_pf->isEmpty())
        Image_pf->setPixmap(pfmain::scoringBackdrop());
    if (panel_df->background->isEmpty()) {
        panel_df->background->setPixmap(pfmain::scorePanelBackdrop(true));
        Panel_df1->background->setPixmap(pfmain::scorePanelBackdrop(false));
    }
    Image_pf->loadIfExists(c.paths.file(assets::kScoringBackground));
    panel_sdsrfs->hide();
    panel_df->hide();
    Panel_df1->hide();

    c.scoring_settings = score_rules::readScoringSettings(c.settings, c.scoring_settings.score_pattern);
    m_flashSeconds = c.settings.readInt(keys::kScoring, keys::kFlashSeconds);
    const int count = c.scoring_settings.judge_count;
    // Judges outside 1..12 have no panel, so none takes part.
    m_judgeCount = count >= 1 && count <= kMaxJudges ? count : 0;
    if (m_judgeCount == 0) {
        // Said once the screen is up, not from inside its show handler.
        QMetaObject::invokeMethod(this, [this, count] {
            guard([&] { context().dialogs().information(this, noJudgesText(count)); });
        }, Qt::QueuedConnection);
    }
    m_roster.resize(c.scoring_settings.contestant_count);
    layOutJudges(count);
    for (int j = 0; j < kMaxJudges; ++j)
        judges[j]->name->setText(c.settings.read(keys::kJudges, keys::judgeName(j + 1)));
    lab_lunshu->setText(QStringLiteral("第0轮"));

    clearScores();
    showJudgePhotos();
    score_storage::load_roster(c.data->adoq_ls, c.scoring_settings.contestant_count, m_roster);
    m_position = 0;
    lab_xsxm->setText({});
    readRoundRange();
    tellPhones(performanceOnDisplay());

    // Photos that cannot be shown are told of now, before any score is up, and never over a score.
    QList<PhotoProblem> problems;
    for (int i = 1; i <= m_roster.size(); ++i)
        if (const std::optional<PhotoProblem> p = photoProblem(i))
            problems << *p;
    if (!problems.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, problems] { guard([&] { reportPhotos(problems); }); },
                                  Qt::QueuedConnection);
    }
}

std::optional<Tfrm_pfmain::PhotoProblem> Tfrm_pfmain::photoProblem(int position) const
{
    if (position < 1 || position > m_roster.size())
        return std::nullopt;
    const QString file = context().paths.named(assets::kContestantPhotos, m_roster.photos.at(position - 1));
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return std::nullopt; // a missing photo simply selects the panel without photo
    QString reason = m_failedPhotos.value(file);
    if (reason.isEmpty()) {
        QImageReader reader(file);
        reader.setDecideFormatFromContent(true);
        if (reader.canRead())
            return std::nullopt;
        reason = reader.errorString();
    }
    const QString line = QStringLiteral("%1号 %2：“%3”（%4）")
                             .arg(m_roster.numbers.at(position - 1))
                             .arg(m_roster.names.at(position - 1).trimmed(), QFileInfo(file).fileName(), reason);
    return PhotoProblem{file, line};
}

void Tfrm_pfmain::reportPhotos(const QList<PhotoProblem> &problems)
{
    QStringList lines;
    for (const PhotoProblem &p : problems) {
        if (m_reportedPhotos.contains(p.file))
            continue;
        m_reportedPhotos.insert(p.file);
        lines << p.line;
    }
    if (lines.isEmpty())
        return;
    context().dialogs().error(this, QStringLiteral("下列选手的照片无法显示，显示得分时将不带照片，请在参数设置中换一张照片：\n")
                                        + lines.join(QLatin1Char('\n')));
}

void Tfrm_pfmain::checkChosenPhoto()
{
    // Under a score panel the contestant may change; a box would then stand over the score.
    if (!panel_df->isHidden() || !Panel_df1->isHidden())
        return;
    if (const std::optional<PhotoProblem> p = photoProblem(m_position))
        reportPhotos({*p});
}

void Tfrm_pfmain::onClose()
{
    // Nothing is being scored once the screen is away: the phones wait.
    tellPhones({});
}

void Tfrm_pfmain::layOutJudges(int count)
{
    for (int j = 0; j < kMaxJudges; ++j) {
        const std::optional<QPoint> place = pfmain::judgePlace(count, j + 1);
        if (place)
            judges[j]->move(*place);
        judges[j]->setVisible(place.has_value());
    }
}

void Tfrm_pfmain::showJudgePhotos()
{
    const AppContext &c = context();
    for (int j = 0; j < m_judgeCount; ++j) {
        const QString file = c.paths.named(assets::kJudgePhotos, c.settings.read(keys::kJudges, keys::judgePhoto(j + 1)));
        if (!judges[j]->photo->loadIfExists(file))
            judges[j]->photo->clear();
    }
}

// While the entry panel is up the operator is typing scores: a key that types a character, and the arrows,
// belong to the entry box; F-keys, Enter, Esc and Delete keep their meaning.
bool Tfrm_pfmain::keyBelongsToEntry(int key) const
{
    if (panel_sdsrfs->isHidden())
        return false;
    const bool functionKey = key >= vk::F1 && key <= vk::F12;
    return !functionKey && key != vk::Return && key != vk::Escape && key != vk::Delete && key != vk::Next;
}

bool Tfrm_pfmain::keyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (keyBelongsToEntry(key))
        return false;
    const Screens &screens = context().screens;
    const bool roundChosen = context().current_round != 0;
    switch (key) {
    case vk::F1:
    case vk::F2:
    case vk::F3:
    case vk::F4:
        chooseRound(key - vk::F1 + 1);
        return true;
    case vk::Up:
    case vk::Down:
        if (panel_df->isHidden() && roundChosen)
            key == vk::Up ? nextContestant() : previousContestant();
        return true;
    case vk::F9:
        if (roundChosen && hasContestant())
            openEntryPanel();
        return true;
    case vk::F5:
    case vk::F6:
    case vk::F7:
    case vk::Return:
        if (scoringReady())
            showScore(key == vk::F5 ? Score::Performance : key == vk::F6 ? Score::Answer : Score::Final);
        return true;
    case vk::Equal:
        if (roundChosen)
            flashHighest();
        return true;
    case vk::Minus:
        if (roundChosen)
            flashLowest();
        return true;
    case vk::Delete:
        // While the entry panel is up, Delete edits its boxes; it must not wipe stored scores as well.
        if (!panel_sdsrfs->isHidden())
            return false;
        if (roundChosen && !judges[0]->score->text().trimmed().isEmpty())
            deleteScores(modifiers.testFlag(Qt::ShiftModifier));
        return true;
    case vk::Next:
        if (roundChosen)
            screens.frm_dfpm->openModeless(this);
        return true;
    case vk::F10:
        if (roundChosen)
            screens.frm_tm->openModeless(this);
        return true;
    case vk::F11:
        if (roundChosen && hasContestant())
            screens.frm_xsjs->openModeless(this);
        return true;
    case vk::letter('M'):
        screens.frm_djs->openModal(this);
        return true;
    case vk::letter('N'):
        screens.frm_zjs->openModal(this);
        return true;
    case vk::letter('Q'):
        screens.frm_jz->openModal(this);
        return true;
    case vk::Escape:
        escape();
        return true;
    default:
        return false;
    }
}

bool Tfrm_pfmain::hasContestant() const
{
    return !lab_xsxm->text().trimmed().isEmpty();
}

bool Tfrm_pfmain::scoringReady() const
{
    return !judges[0]->score->text().trimmed().isEmpty() && panel_sdsrfs->isHidden() && context().current_round != 0
           && hasContestant();
}

void Tfrm_pfmain::escape()
{
    if (!panel_df->isHidden()) {
        panel_df->hide();
    } else if (!Panel_df1->isHidden()) {
        Panel_df1->hide();
    } else if (!panel_sdsrfs->isHidden()) {
        hideEntryPanel();
    } else {
        closeScreen();
    }
}

void Tfrm_pfmain::chooseRound(int round)
{
    context().current_round = round;
    lab_lunshu->setText(QStringLiteral("第%1轮").arg(round));
    Image_pf->loadIfExists(context().paths.file(assets::roundBackground(round)));
    readRoundRange();
    tellPhones(performanceOnDisplay());
}

void Tfrm_pfmain::nextContestant()
{
    const int n = m_roster.size();
    if (n < 1)
        return;
    m_position = m_position >= n ? 1 : m_position + 1;
    showContestant();
    loadScores();
    tellPhones(performanceOnDisplay());
    checkChosenPhoto();
}

void Tfrm_pfmain::previousContestant()
{
    const int n = m_roster.size();
    if (n < 1)
        return;
    m_position = m_position <= 1 || m_position > n ? n : m_position - 1;
    showContestant();
    loadScores();
    tellPhones(performanceOnDisplay());
    checkChosenPhoto();
}

void Tfrm_pfmain::showContestant()
{
    const int i = m_position - 1;
    const QString &name = m_roster.names.at(i);
    lab_xsbh->setText(QString::number(m_roster.numbers.at(i)));
    lab_xsxm->setText(name);
    lab_xsgs->setText(QLatin1Char('/') + QString::number(m_roster.size()));
    panel_df->name->setText(name);
    Panel_df1->name->setText(name);
}

void Tfrm_pfmain::loadScores()
{
    const std::optional<score_storage::StoredScores> stored =
        score_storage::load_scores(context().data->adoq_ls, m_position, context().current_round, m_judgeCount);
    if (!stored) {
        clearScores();
        return;
    }
    for (int j = 0; j < m_judgeCount; ++j) {
        judges[j]->score->setText(stored->judge_scores.value(j));
        setMark(j + 1, Mark::None);
    }
    m_answerScore = stored->answer_score_text;
    m_judgesScore = stored->judges_score_text;
    m_finalScore = stored->final_score_text;
}

void Tfrm_pfmain::clearScores()
{
    for (int j = 0; j < m_judgeCount; ++j) {
        judges[j]->score->setText({});
        setMark(j + 1, Mark::None);
    }
}

QStringList Tfrm_pfmain::scores() const
{
    QStringList s;
    for (int j = 0; j < m_judgeCount; ++j)
        s << judges[j]->score->text();
    return s;
}

Mark Tfrm_pfmain::mark(int judge) const
{
    return judge >= 1 && judge <= kMaxJudges ? m_marks[judge - 1] : Mark::None;
}

void Tfrm_pfmain::setMark(int judge, Mark mark)
{
    if (judge < 1 || judge > kMaxJudges)
        return;
    m_marks[judge - 1] = mark;
    judges[judge - 1]->score->setBackground(markColour(mark));
}

// --- Entry panel ---

void Tfrm_pfmain::openEntryPanel()
{
    panel_sdsrfs->showJudges(0);
    panel_sdsrfs->show();
    panel_sdsrfs->showJudges(m_judgeCount);
    const bool phones = phonesOn();
    for (int j = 0; j < m_judgeCount; ++j) {
        QLineEdit *box = panel_sdsrfs->boxes[j];
        box->setText(judges[j]->score->text().trimmed());
        const PhoneEntry &e = m_phone[j];
        pfmain::EntrySource source = pfmain::EntrySource::None;
        if (phones && e.typed) {
            source = pfmain::EntrySource::Operator;
        } else if (phones && e.fresh) {
            // A phone's value newer than what the score box holds.
            box->setText(e.value);
            source = pfmain::EntrySource::Phone;
        } else if (phones && !e.value.isEmpty() && box->text() == e.value) {
            source = pfmain::EntrySource::Phone; // confirmed from the phone before
        }
        panel_sdsrfs->setSource(j + 1, source);
    }
    for (int j = m_judgeCount; j < kMaxJudges; ++j)
        panel_sdsrfs->setSource(j + 1, pfmain::EntrySource::None);
    showMissing();
    if (m_judgeCount > 0) {
        panel_sdsrfs->boxes[0]->setFocus();
        panel_sdsrfs->boxes[0]->selectAll();
    }
}

void Tfrm_pfmain::confirmEntry()
{
    QStringList taken;
    for (int j = 0; j < m_judgeCount; ++j) {
        taken << panel_sdsrfs->boxes[j]->text().trimmed();
        judges[j]->score->setText(taken.last());
        m_phone[j].fresh = false;
    }
    m_answerScore = panel_sdsrfs->ed_dtdf->text().trimmed();
    hideEntryPanel();
    // The phones hear that their values are final, once the boxes hold them.
    if (m_link)
        m_link->confirm(taken);
}

void Tfrm_pfmain::cancelEntry()
{
    hideEntryPanel();
}

void Tfrm_pfmain::hideEntryPanel()
{
    panel_sdsrfs->hide();
    panel_wsd->hide();
    setFocus();
}

void Tfrm_pfmain::generateTestScores()
{
    RandomSource &random = *context().services.random;
    Clock &clock = *context().services.clock;
    // Each judge reseeds from the clock and waits, so that the seeds differ, as in the original test aid.
    for (int j = 0; j < m_judgeCount; ++j) {
        random.randomize();
        int whole = random.below(10);
        const int fraction = random.below(100);
        if (whole <= 5)
            whole = 7;
        panel_sdsrfs->boxes[j]->setText(QStringLiteral("%1.%2").arg(whole).arg(fraction));
        clock.pause(kTestScorePauseMs);
        // Made up at the operator's desk: a phone's value does not replace it.
        if (phonesOn()) {
            m_phone[j].typed = true;
            panel_sdsrfs->setSource(j + 1, pfmain::EntrySource::Operator);
        }
    }
    if (phonesOn())
        showMissing();
}

// --- The judges' phones ---

bool Tfrm_pfmain::phonesOn() const
{
    return m_link && m_link->isRunning();
}

void Tfrm_pfmain::readRoundRange()
{
    const judging::Performance defaults;
    m_roundLowest = defaults.lowest;
    m_roundHighest = defaults.highest;
    const int round = context().current_round;
    if (!m_link || round < 1 || round > 4)
        return;
    const IniFile config = context().settings.config();
    auto number = [&config](const QString &key, double fallback) {
        bool ok = false;
        const double v = config.read(keys::kContest, key, {}).trimmed().toDouble(&ok);
        return ok ? v : fallback;
    };
    const double lowest = number(keys::roundLowest(round), defaults.lowest);
    const double highest = number(keys::roundHighest(round), defaults.highest);
    // A range no score fits would leave every phone unable to send; the phones keep their own then.
    if (highest > lowest) {
        m_roundLowest = lowest;
        m_roundHighest = highest;
    }
}

judging::Performance Tfrm_pfmain::performanceOnDisplay() const
{
    const AppContext &c = context();
    judging::Performance p;
    p.judges = m_judgeCount;
    const QString pattern = c.scoring_settings.score_pattern;
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    p.decimals = point < 0 ? (pattern.isEmpty() ? 2 : 0) : int(pattern.size() - point - 1);
    const int round = c.current_round;
    // Rounds 5..7 are the leaderboard's views, not a round the judges score.
    if (round < 1 || round > 4)
        return p;
    p.round = round;
    p.lowest = m_roundLowest;
    p.highest = m_roundHighest;
    if (m_position >= 1 && m_position <= m_roster.size()) {
        p.position = m_position;
        p.number = QString::number(m_roster.numbers.at(m_position - 1));
        p.name = lab_xsxm->text().trimmed();
    }
    return p;
}

void Tfrm_pfmain::tellPhones(const judging::Performance &performance)
{
    if (!m_link)
        return;
    const bool other = performance.round != m_performance.round || performance.position != m_performance.position;
    m_performance = performance;
    if (other) {
        // Values held for the performance before are no one's now; boxes they filled go back to the score
        // box. What the operator is typing in the open panel stays the operator's.
        const bool typing = !panel_sdsrfs->isHidden();
        for (int j = 0; j < kMaxJudges; ++j) {
            const pfmain::EntrySource source = panel_sdsrfs->source(j + 1);
            m_phone[j] = {};
            m_phone[j].typed = typing && source == pfmain::EntrySource::Operator;
            if (source == pfmain::EntrySource::Phone) {
                panel_sdsrfs->boxes[j]->setText(j < m_judgeCount ? judges[j]->score->text().trimmed() : QString());
                panel_sdsrfs->setSource(j + 1, pfmain::EntrySource::None);
            } else if (source == pfmain::EntrySource::Operator && !typing) {
                panel_sdsrfs->setSource(j + 1, pfmain::EntrySource::None);
            }
        }
        if (typing)
            showMissing();
    }
    m_link->setPerformance(performance);
}

void Tfrm_pfmain::phoneScore(int judge, const QString &value)
{
    if (judge < 1 || judge > m_judgeCount || m_performance.round == 0 || m_performance.position == 0)
        return;
    PhoneEntry &e = m_phone[std::size_t(judge - 1)];
    e.value = value.trimmed();
    e.fresh = true;
    if (!panel_sdsrfs || panel_sdsrfs->isHidden())
        return;
    if (!e.typed) {
        panel_sdsrfs->boxes[std::size_t(judge - 1)]->setText(e.value);
        panel_sdsrfs->setSource(judge, pfmain::EntrySource::Phone);
    }
    showMissing();
}

void Tfrm_pfmain::entryEdited(int judge)
{
    if (!phonesOn())
        return;
    PhoneEntry &e = m_phone[std::size_t(judge - 1)];
    // Emptying a box hands the judge back to the phone.
    e.typed = !panel_sdsrfs->boxes[std::size_t(judge - 1)]->text().trimmed().isEmpty();
    panel_sdsrfs->setSource(judge, e.typed ? pfmain::EntrySource::Operator : pfmain::EntrySource::None);
    showMissing();
}

void Tfrm_pfmain::showMissing()
{
    if (!phonesOn() || panel_sdsrfs->isHidden()) {
        panel_wsd->hide();
        return;
    }
    QList<int> missing;
    QStringList names;
    for (int j = 0; j < kMaxJudges; ++j) {
        names << judges[j]->name->text();
        if (j < m_judgeCount && m_phone[j].value.isEmpty() && !m_phone[j].typed)
            missing << j + 1;
    }
    panel_wsd->lab_wsd->setText(pfmain::missingJudgesText(missing, names));
    panel_wsd->show();
    panel_wsd->raise();
}

QStringList Tfrm_pfmain::phone_scores() const
{
    QStringList s;
    for (int j = 0; j < m_judgeCount; ++j)
        s << m_phone[j].value;
    return s;
}

// --- Showing and storing a score ---

void Tfrm_pfmain::showScore(Score which)
{
    const ScoringSettings &settings = context().scoring_settings;
    const QStringList judgeScores = scores();
    QVector<Mark> marks(m_marks.begin(), m_marks.begin() + m_judgeCount);
    if (settings.tally_mode == 1) {
        // A computation drops only the judges it finds now: the marks of an earlier one belong to scores
        // the operator may have corrected since.
        marks.fill(Mark::None);
        score_rules::mark_highest_lowest(judgeScores, marks);
        for (int j = 0; j < int(marks.size()); ++j)
            setMark(j + 1, marks[j]);
    }
    const double average = score_rules::judges_average(judgeScores, marks, settings.tally_mode);

    QString title;
    QString shown;
    switch (which) {
    case Score::Performance:
        m_judgesScore = score_rules::format_score(average, settings.score_pattern);
        title = QStringLiteral("演唱得分");
        shown = m_judgesScore;
        break;
    case Score::Answer:
        title = QStringLiteral("答题得分");
        if (m_answerScore.trimmed().isEmpty())
            m_answerScore = QStringLiteral("0");
        score_rules::parse_score(m_answerScore); // an answer score that is no number is not shown
        shown = m_answerScore;
        break;
    case Score::Final: {
        m_judgesScore = score_rules::format_score(average, settings.score_pattern);
        title = QStringLiteral("最后得分");
        const score_rules::FinalScore f = score_rules::final_score(m_judgesScore, m_answerScore, settings.score_pattern);
        m_answerScore = f.answer_score_text;
        m_finalScore = f.final_score_text;
        shown = m_finalScore;
        break;
    }
    }
    panel_df->title->setText(title);
    Panel_df1->title->setText(title);
    present(shown);
    if (which == Score::Final)
        saveScores();
}

void Tfrm_pfmain::present(const QString &scoreText)
{
    // The photo of the contestant on display; the roster number is only what the screen shows.
    const QString photo = m_position >= 1 && m_position <= m_roster.size()
                              ? context().paths.named(assets::kContestantPhotos, m_roster.photos.at(m_position - 1))
                              : QString();
    bool withPhoto = !photo.isEmpty() && QFileInfo(photo).isFile() && !m_failedPhotos.contains(photo);
    if (withPhoto) {
        try {
            panel_df->photo->loadFile(photo);
        } catch (const AppError &) {
            // An unreadable photo must not cost the score, nor put a box over it: the panel without photo
            // shows the score, and the operator hears of the photo at the next contestant.
            QImageReader reader(photo);
            m_failedPhotos.insert(photo, reader.canRead() ? QStringLiteral("图片已损坏") : reader.errorString());
            withPhoto = false;
        }
    }
    if (withPhoto) {
        panel_df->score->setText(scoreText);
        Panel_df1->hide();
        panel_df->move(0, 0);
        panel_df->show();
    } else {
        panel_df->hide();
        Panel_df1->score->setText(scoreText);
        Panel_df1->move(0, 0);
        Panel_df1->show();
    }
}

void Tfrm_pfmain::saveScores()
{
    const AppContext &c = context();
    score_storage::ScoreRow row;
    row.position = m_position;
    row.name = lab_xsxm->text().trimmed();
    row.round = c.current_round;
    // Rounds 5..7, left by the leaderboard, have no coefficient of their own.
    if (row.round >= 1 && row.round <= 4)
        row.coefficient = c.scoring_settings.round_coefficient[std::size_t(row.round - 1)];
    for (int j = 0; j < m_judgeCount; ++j) {
        row.judge_names << judges[j]->name->text();
        row.judge_scores << judges[j]->score->text();
    }
    row.judges_score_text = m_judgesScore;
    row.answer_score_text = m_answerScore;
    row.final_score_text = m_finalScore;
    score_storage::save_scores(c.data->ADOConnection1, c.data->adoq_ls, row);
}

void Tfrm_pfmain::deleteScores(bool wholeRound)
{
    Dataset &query = context().data->adoq_ls;
    if (wholeRound)
        score_storage::delete_round_scores(query, context().current_round);
    else
        score_storage::delete_contestant_scores(query, m_position, context().current_round);
    for (int j = 1; j <= kMaxJudges; ++j)
        setMark(j, Mark::None);
    clearScores();
}

// --- Flashing the highest and the lowest score ---

void Tfrm_pfmain::flashHighest()
{
    startFlash(true);
}

void Tfrm_pfmain::flashLowest()
{
    startFlash(false);
}

void Tfrm_pfmain::startFlash(bool highest)
{
    m_blinkPhase = 1;
    const QStringList judgeScores = scores();
    const int judge = highest ? score_rules::find_highest(judgeScores) : score_rules::find_lowest(judgeScores);
    (highest ? m_highestJudge : m_lowestJudge) = judge;
    QTimer *duration = highest ? time_total : time_totalmin;
    QTimer *blinker = highest ? time_max : time_min;
    duration->stop();
    // A duration of 0 seconds never ends: the box blinks until another command stops it.
    if (m_flashSeconds > 0) {
        duration->setInterval(int(std::min<qint64>(qint64(m_flashSeconds) * 1000, INT_MAX)));
        duration->start();
    }
    blinker->setInterval(kBlinkMs);
    blinker->start();
}

void Tfrm_pfmain::blink(int judge, Mark mark)
{
    if (m_blinkPhase == 0) {
        setMark(judge, mark);
        m_blinkPhase = 1;
    } else if (m_blinkPhase == 1) {
        setMark(judge, Mark::None);
        m_blinkPhase = 0;
    } else {
        m_blinkPhase = 1;
    }
}

void Tfrm_pfmain::endFlash(bool highest)
{
    (highest ? time_total : time_totalmin)->stop();
    (highest ? time_max : time_min)->stop();
    setMark(highest ? m_highestJudge : m_lowestJudge, highest ? Mark::Highest : Mark::Lowest);
}

void Tfrm_pfmain::time_maxTimer()
{
    blink(m_highestJudge, Mark::Highest);
}

void Tfrm_pfmain::time_minTimer()
{
    blink(m_lowestJudge, Mark::Lowest);
}

void Tfrm_pfmain::time_totalTimer()
{
    endFlash(true);
}

void Tfrm_pfmain::time_totalminTimer()
{
    endFlash(false);
}
