#include "tfrm_dfpm.h"

#include "media/asset_paths.h"
#include "scoring/leaderboard_ranking.h"
#include "scoring/score_rules.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace {

constexpr int kRowLeft = 56;
constexpr int kRowWidth = 913;
constexpr int kRowHeight = 57;
constexpr int kRowTops[Tfrm_dfpm::kRowsPerPage] = {101, 162, 223, 283, 344, 404, 465, 526, 588, 647};

// Column places inside a row: rank, name, score.
constexpr QRect kRankPlace(30, 11, 150, 37);
constexpr QRect kNamePlace(184, 11, 520, 37);
constexpr QRect kScorePlace(712, 11, 170, 37);

// The plate under each row: a light, gold-edged bar on which the blue rank and the red name and score
// stand out from the back of a hall; the rank sits on a darker medallion band.
QPixmap rowPlate()
{
    QPixmap pix(kRowWidth, kRowHeight);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = QRectF(pix.rect()).adjusted(1.5, 1.5, -1.5, -1.5);

    QLinearGradient body(0, 0, 0, kRowHeight);
    body.setColorAt(0, QColor(255, 253, 240));
    body.setColorAt(0.5, QColor(255, 244, 205));
    body.setColorAt(1, QColor(240, 214, 140));
    p.setPen(QPen(QColor(176, 120, 24), 3));
    p.setBrush(body);
    p.drawRoundedRect(bar, 12, 12);

    // Rank band behind the rank column, a lighter blue so the blue digits keep their contrast.
    QPainterPath band;
    band.addRoundedRect(QRectF(22, 6, 166, kRowHeight - 12), 9, 9);
    QLinearGradient bandFill(0, 0, 0, kRowHeight);
    bandFill.setColorAt(0, QColor(222, 236, 255));
    bandFill.setColorAt(1, QColor(186, 210, 250));
    p.setPen(QPen(QColor(90, 130, 210), 2));
    p.setBrush(bandFill);
    p.drawPath(band);

    // Thin separator before the score column.
    p.setPen(QPen(QColor(200, 150, 60), 2));
    p.drawLine(QPointF(700, 10), QPointF(700, kRowHeight - 10));
    return pix;
}

// Used when "排行榜.jpg" cannot be loaded, so that the board stays readable for the rest of the show.
QPixmap builtInBackground()
{
    QPixmap bg(StageWindow::kStageWidth, StageWindow::kStageHeight);
    QPainter p(&bg);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QRadialGradient glow(QPointF(512, 300), 760);
    glow.setColorAt(0, QColor(150, 20, 28));
    glow.setColorAt(0.6, QColor(96, 8, 16));
    glow.setColorAt(1, QColor(40, 0, 6));
    p.fillRect(bg.rect(), glow);
    p.setFont(stageFont(QStringLiteral("黑体"), 52, true));
    const QRect heading(0, 22, StageWindow::kStageWidth, 70);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(heading.translated(3, 3), Qt::AlignCenter, QStringLiteral("得分排行榜"));
    p.setPen(QColor(255, 214, 90));
    p.drawText(heading, Qt::AlignCenter, QStringLiteral("得分排行榜"));
    p.setPen(QPen(QColor(255, 214, 90), 2));
    p.drawLine(QPointF(300, 92), QPointF(724, 92));
    // A light tab under the title label at the top left.
    QLinearGradient tab(0, 6, 0, 44);
    tab.setColorAt(0, QColor(255, 236, 160));
    tab.setColorAt(1, QColor(232, 184, 72));
    p.setPen(Qt::NoPen);
    p.setBrush(tab);
    p.drawRoundedRect(QRectF(-12, 6, 162, 38), 8, 8);
    return bg;
}

ShadowLabel *rowLabel(QWidget *row, const QString &name, const QRect &place, const QColor &colour, int pixels,
                      Qt::Alignment alignment)
{
    auto *label = new ShadowLabel(row, name);
    label->setGeometry(place);
    label->setFont(stageFont(QStringLiteral("黑体"), pixels, true));
    label->setTextColour(colour);
    label->setAlignment(alignment);
    return label;
}

} // namespace

Tfrm_dfpm::Tfrm_dfpm(AppContext &context) : StageWindow(context, QStringLiteral("frm_dfpm"))
{
    setWindowTitle(QStringLiteral("得分排行榜"));
    Image11 = new Picture(this, QStringLiteral("Image11"));
    Image11->setGeometry(0, 0, kStageWidth, kStageHeight);
    Image11->setStretch(true);

    Label5 = new ShadowLabel(this, QStringLiteral("Label5"));
    Label5->setFont(stageFont(QStringLiteral("黑体"), 27, true));
    Label5->setTextColour(Qt::black); // the window text colour; backgrounds give it a light tab
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // "第一轮" fits the title's own 84 pixels; longer titles are measured when they are set.
    Label5->setText(QStringLiteral("第一轮"));
    Label5->setGeometry(0, 8, 84, 35);

    const QPixmap plate = rowPlate();
    for (int k = 0; k < kRowsPerPage; ++k) {
        QWidget *row = new QWidget(this);
        row->setObjectName(QStringLiteral("Panel%1").arg(38 + k));
        row->setGeometry(kRowLeft, kRowTops[k], kRowWidth, kRowHeight);
        rows[k] = row;

        rowPictures[k] = new Picture(row, QStringLiteral("Image%1").arg(1 + k));
        rowPictures[k]->setGeometry(0, 0, kRowWidth, kRowHeight);
        rowPictures[k]->setStretch(true);
        rowPictures[k]->setPixmap(plate);

        rankLabels[k] = rowLabel(row, QStringLiteral("Label%1").arg(26 + 2 * k), kRankPlace, Qt::blue, 40,
                                 Qt::AlignCenter);
        nameLabels[k] = rowLabel(row, QStringLiteral("Label%1").arg(46 + k), kNamePlace, Qt::red, 36,
                                 Qt::AlignCenter);
        scoreLabels[k] = rowLabel(row, QStringLiteral("Label%1").arg(27 + 2 * k), kScorePlace, Qt::red, 40,
                                  Qt::AlignLeft | Qt::AlignVCenter);
        row->hide();
    }
}

void Tfrm_dfpm::setTitle(const QString &title)
{
    // The title grows with its text (前4轮总分 is wider than the 84 pixels of 第一轮); its box is a little
    // taller than the 27-pixel type so that no stroke is cut.
    Label5->setText(title);
    const int width = QFontMetrics(Label5->font()).horizontalAdvance(title) + 6;
    Label5->setGeometry(0, 8, std::max(84, width), 35);
}

void Tfrm_dfpm::onShow()
{
    const int n = std::max(0, context().scoring_settings.contestant_count);
    context().ranked_names.resize(n);
    for (QWidget *row : rows)
        row->hide();
    m_page = 1;
    m_view = Descending;
    // The screen is reset before the picture; without the picture the board goes on over a drawn
    // background once the error has been reported.
    const QString background = context().paths.file(assets::kLeaderboardBackground);
    if (Image11->isEmpty() || !QFileInfo(background).isFile())
        Image11->setPixmap(builtInBackground());
    Image11->loadFile(background);
}

bool Tfrm_dfpm::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::F1: loadAndShow(Descending); return true;
    case vk::F2: loadAndShow(Ascending); return true;
    case vk::F3: loadAndShow(Roster); return true;
    case vk::F9: case vk::F10: case vk::F11: case vk::F12:
        context().current_round = key - vk::F9 + 1;
        return true;
    case vk::F5: case vk::F6: case vk::F7:
        context().current_round = key - vk::F5 + 5;
        return true;
    case vk::Prior:
        if (m_page > 1)
            --m_page;
        redraw();
        return true;
    case vk::Next:
        if (context().leaderboard_entries.size() > kRowsPerPage && m_page < lastPage())
            ++m_page;
        redraw();
        return true;
    case vk::Escape:
        closeScreen();
        return true;
    default:
        return false;
    }
}

int Tfrm_dfpm::lastPage() const
{
    const int n = context().leaderboard_entries.size();
    return std::max(1, (n + kRowsPerPage - 1) / kRowsPerPage);
}

void Tfrm_dfpm::loadAndShow(View view)
{
    load();
    m_view = view;
    if (view != Descending)
        redraw();
}

void Tfrm_dfpm::load()
{
    const int code = context().current_round;
    const ScoringSettings &settings = context().scoring_settings;
    const bool multi = code >= 5 && code <= 7;
    LeaderboardEntries entries =
        leaderboard_ranking::load_descending(context().data->adoq_ls, code, settings);

    // Title and entries change together, once the load has succeeded.
    setTitle(multi ? QStringLiteral("前%1轮总分").arg(code - 3) : QStringLiteral("第%1轮").arg(code));
    context().leaderboard_entries = std::move(entries);
    m_page = std::min(m_page, lastPage());
    drawPage();
    context().ranked_names =
        leaderboard_ranking::ranked_names(context().leaderboard_entries, settings.contestant_count);
}

void Tfrm_dfpm::redraw()
{
    const score_rules::Order order = m_view == Ascending ? score_rules::Order::Ascending
                                     : m_view == Roster  ? score_rules::Order::Roster
                                                         : score_rules::Order::Descending;
    score_rules::rank_entries(context().leaderboard_entries, order, context().scoring_settings.rank_mode);
    drawPage();
}

void Tfrm_dfpm::drawPage()
{
    for (QWidget *row : rows)
        row->hide();
    const LeaderboardEntries &e = context().leaderboard_entries;
    const int first = (m_page - 1) * kRowsPerPage;
    const int count = std::clamp(e.size() - first, 0, int(kRowsPerPage));
    const QString &pattern = context().scoring_settings.score_pattern;
    for (int k = 0; k < count; ++k) {
        const int i = first + k;
        rankLabels[k]->setText(i < e.ranks.size() ? QString::number(e.ranks[i]) : QString());
        nameLabels[k]->setText(e.names[i]);
        scoreLabels[k]->setText(i < e.scores.size() ? score_rules::format_score(e.scores[i], pattern) : QString());
        rows[k]->show();
    }
}
