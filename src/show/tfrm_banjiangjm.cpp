#include "tfrm_banjiangjm.h"

#include "data/data_module.h"
#include "media/asset_paths.h"
#include "media/media_interfaces.h"
#include "scoring/leaderboard_ranking.h"
#include "settings/settings_keys.h"
#include "ui/key_codes.h"
#include "ui/shadow_label.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QSlider>

#include <algorithm>

namespace {

// Tops of plates 1..c+1 for c winners; a prize without winners shows its title alone, mid-screen.
const QVector<int> kPlateTops[Tfrm_banjiangjm::kMaxWinners + 1] = {
    {339},
    {300, 440},
    {280, 390, 500},
    {250, 360, 480, 590},
    {160, 270, 380, 490, 600},
    {120, 220, 320, 420, 520, 620},
};

const char16_t *const kPrizeTitles[3] = {u"一等奖", u"二等奖", u"三等奖"};

// A text plate over the animation: gold for the prize title, deep red with a gold edge for a winner,
// so the text stays readable whatever the animation shows behind it.
class Plate : public ShadowLabel {
public:
    Plate(QWidget *parent, const QString &name, bool title) : ShadowLabel(parent, name), m_title(title)
    {
        setFont(stageFont(QStringLiteral("黑体"), title ? 64 : 56, true));
        setAlignment(Qt::AlignCenter);
        if (title) {
            setTextColour(QColor(150, 0, 0));
            setShadow(QColor(255, 250, 220), 2, 2);
        } else {
            setTextColour(Qt::white);
            setShadow(QColor(60, 0, 0), 3, 3);
        }
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        {
            QPainter p(this);
            p.setRenderHint(QPainter::Antialiasing);
            const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
            QLinearGradient fill(0, 0, 0, height());
            if (m_title) {
                fill.setColorAt(0, QColor(255, 240, 160));
                fill.setColorAt(0.5, QColor(250, 208, 90));
                fill.setColorAt(1, QColor(214, 150, 30));
                p.setPen(QPen(QColor(140, 20, 10), 4));
            } else {
                fill.setColorAt(0, QColor(200, 30, 40));
                fill.setColorAt(1, QColor(120, 0, 12));
                p.setPen(QPen(QColor(255, 206, 80), 4));
            }
            p.setBrush(fill);
            p.drawRoundedRect(r, 18, 18);
        }
        ShadowLabel::paintEvent(event);
    }

private:
    bool m_title;
};

// Keys that would type a character into the focus box.
bool isCharacterKey(int key)
{
    return key == vk::Back || key == vk::Tab || key == vk::Return || key == vk::Space
           || (key >= vk::Digit0 && key <= vk::digit(9)) || (key >= vk::A && key <= vk::letter('Z'))
           || (key >= vk::Numpad0 && key <= vk::Divide) || (key >= vk::Semicolon && key <= vk::Grave)
           || (key >= vk::LeftBracket && key <= vk::Quote);
}

} // namespace

Tfrm_banjiangjm::Tfrm_banjiangjm(AppContext &context) : StageWindow(context, QStringLiteral("frm_banjiangjm"))
{
    setWindowTitle(QStringLiteral("颁奖典礼"));
    setMaximised(true);

    // The player makes its heavy view only when a movie is first set, so it costs nothing until shown.
    Flash1 = context.services.media->createFlashPlayer(this);
    QWidget *flashView = Flash1->widget();
    flashView->setObjectName(QStringLiteral("Flash1"));
    flashView->setGeometry(0, 0, kStageWidth, kStageHeight);
    flashView->setFocusPolicy(Qt::NoFocus);

    for (int i = 0; i < kPlateCount; ++i) {
        plates[i] = new Plate(this, QStringLiteral("Panel%1").arg(2 + i), i == 0);
        plates[i]->setGeometry(kPlateLeft, kPlateTops[0][0], kPlateWidth, kPlateHeight);
        plates[i]->hide();
    }
    // At the title plate's right end, clear of the centred title.
    lab_page = new ShadowLabel(plates[0], QStringLiteral("lab_page"));
    lab_page->setGeometry(kPlateWidth - 150, 0, 126, kPlateHeight);
    lab_page->setFont(stageFont(QStringLiteral("黑体"), 30, true));
    lab_page->setTextColour(QColor(150, 0, 0));
    lab_page->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lab_page->hide();

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(968, 448, 46, 289);
    Panel1->setAttribute(Qt::WA_StyledBackground);
    Panel1->setStyleSheet(QStringLiteral("#Panel1{background:rgba(0,0,0,120);border:1px solid rgba(255,214,90,160);"
                                         "border-radius:6px;} QLabel{color:#ffe6a0;font-weight:bold;}"));
    auto caption = [this](const QString &text, int top) {
        auto *label = new QLabel(text, Panel1);
        label->setGeometry(0, top, 46, 20);
        label->setAlignment(Qt::AlignCenter);
    };
    caption(QStringLiteral("小"), 4);
    // 0 at the top under "小", 255 at the bottom above "大".
    Track1 = new QSlider(Qt::Vertical, Panel1);
    Track1->setObjectName(QStringLiteral("Track1"));
    Track1->setGeometry(8, 26, 30, 196);
    Track1->setRange(0, 255);
    Track1->setInvertedAppearance(true);
    Track1->setValue(130);
    Track1->setFocusPolicy(Qt::NoFocus);
    caption(QStringLiteral("大"), 224);
    but_play = new QPushButton(QStringLiteral("播放"), Panel1);
    but_play->setObjectName(QStringLiteral("but_play"));
    but_play->setGeometry(2, 248, 42, 36);
    but_play->setFocusPolicy(Qt::NoFocus);

    Media1 = context.services.media->createMediaPlayer(this);

    connect(Track1, &QSlider::valueChanged, this,
            [this](int position) { guard([&] { this->context().services.volume->setVolume(position * 256); }); });
    connect(but_play, &QPushButton::clicked, this, [this] {
        guard([this] { but_play->setText(toggleMusic() ? QStringLiteral("停止") : QStringLiteral("播放")); });
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keepFocusAway(now); });
}

void Tfrm_banjiangjm::makeWidgets()
{
    // The focus holder is an edit box, whose making lays out text; made at the first opening, the
    // start-up does not wait for the fonts on its behalf.
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(-200, -200, 40, 20);
}

void Tfrm_banjiangjm::keepFocusAway(QWidget *now)
{
    QWidget *view = Flash1->widget();
    if (now && Edit1 && isVisible() && (now == view || view->isAncestorOf(now)))
        Edit1->setFocus();
}

void Tfrm_banjiangjm::onShow()
{
    // Without the animation its area stays empty and the drawn stage shows through.
    const bool animated = context().paths.exists(assets::kAwardAnimation);
    Flash1->widget()->setVisible(animated);
    if (animated) {
        Flash1->setMovie(context().paths.file(assets::kAwardAnimation));
        Flash1->play();
    }
    but_play->setText(QStringLiteral("播放"));
    Edit1->setFocus();
    for (ShadowLabel *plate : plates)
        plate->hide();
    m_prize = 0;
    m_page = 0;
    m_pages.clear();
    // Each stands alone: a count that is no number must not keep the names from the plates.
    guard([this] { readRanking(); });
    readPrizeCounts();
}

void Tfrm_banjiangjm::readRanking()
{
    m_names.clear();
    const QStringList &board = context().ranked_names;
    if (std::any_of(board.begin(), board.end(), [](const QString &name) { return !name.isEmpty(); })) {
        m_names = board;
        return;
    }
    // The leaderboard has ranked nobody in this run (a restart before the ceremony): rank the contest as
    // stored, as the leaderboard would show the total of its rounds.
    const SettingsFiles &settings = context().settings;
    ScoringSettings scoring;
    scoring.contestant_count = settings.readInt(keys::kContest, keys::kContestantCount);
    scoring.rank_mode = settings.readInt(keys::kScoring, keys::kRankMode);
    for (int r = 1; r <= 4; ++r)
        scoring.round_coefficient[std::size_t(r - 1)] = settings.read(keys::kContest, keys::roundCoefficient(r));
    Dataset &query = context().data->adoq_ls;
    const int view = leaderboard_ranking::whole_contest_view(leaderboard_ranking::last_scored_round(query));
    const LeaderboardEntries entries =
        view == 0 ? LeaderboardEntries{} : leaderboard_ranking::load_descending(query, view, scoring);
    m_names = leaderboard_ranking::ranked_names(entries, scoring.contestant_count);
}

void Tfrm_banjiangjm::readPrizeCounts()
{
    const SettingsFiles &settings = context().settings;
    m_counts[0] = settings.readInt(keys::kContest, keys::kFirstPrize);
    m_counts[1] = settings.readInt(keys::kContest, keys::kSecondPrize);
    m_counts[2] = settings.readInt(keys::kContest, keys::kThirdPrize);
}

void Tfrm_banjiangjm::onClose()
{
    Media1->close();
}

bool Tfrm_banjiangjm::keyDown(int key, Qt::KeyboardModifiers, bool autoRepeat)
{
    switch (key) {
    case vk::F1: case vk::F2: case vk::F3:
        showPrize(key - vk::F1 + 1);
        return true;
    case vk::Next: case vk::Prior:
        // One page a press: a held key does not race through the winners.
        if (!autoRepeat)
            turnPage(key == vk::Next ? 1 : -1);
        return true;
    case vk::End:
        // A held key must not switch the music on and off again.
        if (!autoRepeat)
            toggleMusic();
        return true;
    case vk::Escape:
        closeScreen();
        return true;
    default:
        return isCharacterKey(key);
    }
}

QVector<int> Tfrm_banjiangjm::pageSizes(int winners)
{
    winners = std::max(0, winners);
    if (winners <= kMaxWinners)
        return {winners};
    const int pages = (winners + kMaxWinners - 1) / kMaxWinners;
    QVector<int> sizes(pages, winners / pages);
    for (int i = 0; i < winners % pages; ++i)
        ++sizes[i];
    return sizes;
}

int Tfrm_banjiangjm::shownWinners(int count, qint64 offset, int names)
{
    const int winners = std::max(0, count);
    if (winners <= kMaxWinners)
        return winners;
    const qint64 left = std::max<qint64>(0, qint64(names) - offset);
    return int(std::max<qint64>(kMaxWinners, std::min<qint64>(winners, left)));
}

void Tfrm_banjiangjm::showPrize(int prize)
{
    if (prize < 1 || prize > 3)
        return;
    // A negative count gives no winners and takes no names from the ranking; counts up to the largest
    // whole number add up without overflow.
    qint64 offset = 0;
    for (int p = 0; p < prize - 1; ++p)
        offset += std::max(0, m_counts[p]);
    m_prize = prize;
    m_offset = offset;
    m_pages = pageSizes(shownWinners(m_counts[prize - 1], offset, int(m_names.size())));
    m_page = 1;
    drawPage();
}

bool Tfrm_banjiangjm::turnPage(int step)
{
    const int page = m_page + step;
    if (m_prize == 0 || page < 1 || page > pageCount())
        return false;
    m_page = page;
    drawPage();
    return true;
}

void Tfrm_banjiangjm::drawPage()
{
    for (ShadowLabel *plate : plates)
        plate->hide();
    qint64 first = m_offset;
    for (int p = 0; p < m_page - 1; ++p)
        first += m_pages[p];
    const int winners = m_pages[m_page - 1];
    const QVector<int> &tops = kPlateTops[winners];

    plates[0]->move(kPlateLeft, tops[0]);
    plates[0]->setText(QString::fromUtf16(kPrizeTitles[m_prize - 1]));
    lab_page->setText(QStringLiteral("%1/%2").arg(m_page).arg(pageCount()));
    lab_page->setVisible(pageCount() > 1);
    plates[0]->show();
    plates[0]->raise();
    for (int w = 0; w < winners; ++w) {
        const qint64 i = first + w;
        ShadowLabel *plate = plates[1 + w];
        plate->move(kPlateLeft, tops[1 + w]);
        plate->setText(i < m_names.size() ? m_names[qsizetype(i)] : QString());
        plate->show();
        plate->raise();
    }
}

bool Tfrm_banjiangjm::toggleMusic()
{
    const QString name = context().settings.read(keys::kSounds, keys::kAwardMusic);
    Media1->setFileName(context().paths.named(assets::kSounds, name));
    if (Media1->isPlaying()) {
        Media1->stop();
        Media1->close();
        return false;
    }
    Media1->open();
    Media1->play();
    return true;
}

void Tfrm_banjiangjm::paintEvent(QPaintEvent *)
{
    // Behind the animation and around it on a display larger than the stage: a deep red stage.
    QPainter p(this);
    QRadialGradient glow(QPointF(kStageWidth / 2.0, kStageHeight / 2.5), kStageWidth * 0.8);
    glow.setColorAt(0, QColor(140, 16, 24));
    glow.setColorAt(0.7, QColor(70, 4, 10));
    glow.setColorAt(1, QColor(24, 0, 4));
    p.fillRect(rect(), glow);
}
