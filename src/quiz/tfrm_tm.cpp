#include "tfrm_tm.h"

#include "data/dataset.h"
#include "media/asset_paths.h"
#include "media/media_interfaces.h"
#include "settings/decimal_text.h"
#include "settings/settings_keys.h"
#include "ui/dialogs.h"
#include "ui/key_codes.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

using quiz::OptionLook;
using quiz::QuestionType;

namespace {

constexpr int kTickMs = 1000;
const QString kTickSoundName = QStringLiteral("倒计时.wav");
const QString kTimeUpSoundName = QStringLiteral("时间到.wav");
// The row's own number comes along, so that a question that cannot be shown is known again at the next Up.
const QString kUnasked =
    QStringLiteral("select rowid as tmid, * from tiku where (qs=:ls) and (tmyes=:ls2) and (tmfz=:ls3) order by ctsx");
const QString kCount = QStringLiteral("select count(*) as sl from tiku where (qs=:ls) and (tmyes=:ls2) and (tmfz=:ls3) ");
const QString kUnmark = QStringLiteral("update tiku set tmyes=:ls where rowid=:ls1");

// Option labels A..F: frame left, top; label left, top, width, height.
struct OptionPlace {
    int fx, fy, lx, ly, lw, lh;
};
constexpr std::array<OptionPlace, quiz::kOptionCount> kOptions{{
    {35, 362, 122, 370, 369, 92},
    {530, 363, 617, 371, 369, 91},
    {35, 473, 123, 481, 368, 90},
    {529, 474, 617, 482, 368, 91},
    {35, 583, 122, 589, 368, 93},
    {529, 584, 615, 593, 371, 90},
}};

constexpr std::array<int, quiz::kPairCount> kLeftItemTops{251, 333, 413, 496, 577};
constexpr std::array<int, quiz::kPairCount> kRightItemTops{250, 332, 412, 496, 576};
constexpr std::array<QPoint, quiz::kPairCount> kLeftMarks{{{375, 260}, {375, 341}, {376, 421}, {376, 504}, {376, 583}}};
constexpr std::array<QPoint, quiz::kPairCount> kRightMarks{{{615, 261}, {615, 343}, {616, 423}, {616, 508}, {616, 586}}};
constexpr QSize kMarkSize(31, 44);

const std::array<QString, quiz::kTypeCount> kCountdownKeys{keys::kChoiceSeconds, keys::kAnswerSeconds, keys::kMatchingSeconds,
                                                           keys::kPictureSeconds, keys::kMediaSeconds};

QString letterName(const char *prefix, int option)
{
    return QLatin1String(prefix) + QChar(u'a' + option);
}

// Applies a stored text style (font family, size in points, colour and shadow colour as decimal text).
// A size or colour that is not a number throws the conversion error; the label keeps what was set before.
void applyStyle(ShadowLabel *label, const Dataset &row, const QString &prefix, int shadowOffset)
{
    const QString family = row.text(prefix + QStringLiteral("font")).trimmed();
    const int points = decimal_text::toInt(row.text(prefix + QStringLiteral("size")));
    const QColor colour = quiz::colourFromValue(decimal_text::toInt(row.text(prefix + QStringLiteral("color"))));
    const QColor shadow = quiz::colourFromValue(decimal_text::toInt(row.text(prefix + QStringLiteral("bjs"))));
    QFont font(family.isEmpty() ? QStringLiteral("黑体") : family);
    font.setPixelSize(std::max(1, quiz::pixelsOfPoints(points)));
    label->setFont(font);
    label->setTextColour(colour);
    label->setShadow(shadow, shadowOffset, shadowOffset);
}

QPushButton *numberMark(QWidget *parent, const QString &name, int number, QPoint at, const QColor &colour)
{
    auto *b = new QPushButton(QString::number(number), parent);
    b->setObjectName(name);
    b->setGeometry(QRect(at, kMarkSize));
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFont(stageFont(QStringLiteral("Times New Roman"), 48, true));
    b->setStyleSheet(QStringLiteral("QPushButton{color:%1;background:transparent;border:none;padding:0;}").arg(colour.name()));
    return b;
}

ShadowLabel *textLabel(QWidget *parent, const QString &name, const QRect &place, Qt::Alignment alignment, bool wrap)
{
    auto *l = new ShadowLabel(parent, name);
    l->setGeometry(place);
    l->setAlignment(alignment);
    l->setWordWrap(wrap);
    return l;
}

// Loads a stretched picture already scaled to its widget at the display's resolution, so that a repaint
// draws it without scaling.
void loadFitted(Picture *picture, const QString &path)
{
    picture->loadFile(path);
    const qreal ratio = picture->devicePixelRatioF();
    const QSize target = (QSizeF(picture->size()) * ratio).toSize();
    if (picture->pixmap().size() == target)
        return;
    QPixmap fitted = picture->pixmap().scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    picture->setPixmap(fitted);
}

// Whether the file begins as a Flash movie does ("FWS", "CWS" or "ZWS"): the player shows nothing for
// anything else and says nothing, so the quiz looks first.
bool looksLikeFlashMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

Picture *background(quiz::BevelPanel *panel, const QString &name)
{
    auto *p = new Picture(panel, name);
    p->setGeometry(panel->inner());
    p->setStretch(true);
    return p;
}

} // namespace

Tfrm_tm::Tfrm_tm(AppContext &context) : StageWindow(context, QStringLiteral("frm_tm"))
{
    setWindowTitle(QStringLiteral("选题"));
    time_djs = new QTimer(this);
    time_djs->setObjectName(QStringLiteral("time_djs"));
    time_djs->setInterval(kTickMs);
    connect(time_djs, &QTimer::timeout, this, &Tfrm_tm::time_djsTimer);
    media_yx = context.services.media->createMediaPlayer(this);
    media_yx->onFailure([this](const QString &path, const QString &text) { guard([&] { effectFailed(path, text); }); });

    // The players never keep the keyboard: every key reaches the screen's own handler.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keepFocusHere(now); });
}

void Tfrm_tm::makeWidgets()
{
    // Created bottom to top: a panel shown later never covers one higher in this order.
    panel_wendati = new quiz::BevelPanel(this, QStringLiteral("panel_wendati"));
    Panel_tupianti = new quiz::BevelPanel(this, QStringLiteral("Panel_tupianti"), QColor(0xC0, 0xDC, 0xC0));
    Panel_duomeiti = new quiz::BevelPanel(this, QStringLiteral("Panel_duomeiti"));
    Panel_xzt = new quiz::BevelPanel(this, QStringLiteral("Panel_xzt"));
    Panel_lianxianti = new quiz::BevelPanel(this, QStringLiteral("Panel_lianxianti"));
    Panel_xztm = new quiz::BevelPanel(this, QStringLiteral("Panel_xztm"));
    Panel_flash = new quiz::BevelPanel(this, QStringLiteral("Panel_flash"), Qt::black);

    buildAnswerPanel();
    buildPicturePanel();
    buildMediaPanel();
    buildChoicePanel();
    buildMatchingPanel();
    buildBoard();
    buildFlashPanel();
    for (QWidget *panel : {static_cast<QWidget *>(panel_wendati), static_cast<QWidget *>(Panel_tupianti),
                           static_cast<QWidget *>(Panel_duomeiti), static_cast<QWidget *>(Panel_xzt),
                           static_cast<QWidget *>(Panel_lianxianti), static_cast<QWidget *>(Panel_flash)})
        panel->hide();
}

void Tfrm_tm::buildBoard()
{
    Image_xtbj = background(Panel_xztm, QStringLiteral("Image_xtbj"));
    for (int n = 1; n <= quiz::kTileCount; ++n) {
        const quiz::TilePlace place = quiz::tilePlace(n);
        auto *picture = new Picture(Panel_xztm, QStringLiteral("Image_tm%1").arg(n));
        picture->setGeometry(place.picture);
        picture->setStretch(true);
        picture->hide();
        Image_tm[std::size_t(n - 1)] = picture;

        auto *label = new quiz::TileLabel(Panel_xztm, QStringLiteral("lab_tm%1").arg(n));
        label->setGeometry(place.label);
        label->setFont(stageFont(QStringLiteral("Times New Roman"), n <= 2 ? 67 : 80, true));
        label->setTextColour(QColor(0, 255, 0));
        label->setShadow(Qt::black, 3, 3);
        label->setAlignment(Qt::AlignCenter);
        label->setText(QString::number(n));
        label->hide();
        connect(label, &quiz::TileLabel::pressed, this,
                [this, n](Qt::KeyboardModifiers modifiers) { guard([&] { tilePressed(n, modifiers); }); });
        lab_tm[std::size_t(n - 1)] = label;
    }
}

void Tfrm_tm::buildChoicePanel()
{
    Image_xztbj = background(Panel_xzt, QStringLiteral("Image_xztbj"));
    lab_xzttm = textLabel(Panel_xzt, QStringLiteral("lab_xzttm"), QRect(46, 133, 935, 186), Qt::AlignLeft | Qt::AlignVCenter, true);
    for (int k = 0; k < quiz::kOptionCount; ++k) {
        const OptionPlace &o = kOptions[std::size_t(k)];
        auto *frame = new Picture(Panel_xzt, letterName("Image_", k));
        frame->setGeometry(o.fx, o.fy, 470, 110);
        frame->setStretch(true);
        Image_option[std::size_t(k)] = frame;
        lab_option[std::size_t(k)] =
            textLabel(Panel_xzt, letterName("lab_", k), QRect(o.lx, o.ly, o.lw, o.lh), Qt::AlignLeft | Qt::AlignVCenter, true);
    }
    countdown[0] = new quiz::CountdownBox(Panel_xzt, QStringLiteral("Panel_time"), QStringLiteral("lab_time"),
                                          QRect(408, 10, 209, 87), 93, quiz::designCaption(QuestionType::Choice));
}

void Tfrm_tm::buildAnswerPanel()
{
    Image_wdtbj = background(panel_wendati, QStringLiteral("Image_wdtbj"));
    ed_wendati = textLabel(panel_wendati, QStringLiteral("ed_wendati"), QRect(124, 173, 782, 419), Qt::AlignLeft | Qt::AlignTop, true);
    ed_wendatida = textLabel(panel_wendati, QStringLiteral("ed_wendatida"), QRect(123, 172, 782, 419), Qt::AlignLeft | Qt::AlignTop, true);
    ed_wendatida->hide();
    countdown[1] = new quiz::CountdownBox(panel_wendati, QStringLiteral("Panel_wdt"), QStringLiteral("lab_wdttime"),
                                          QRect(408, 15, 209, 87), 93, quiz::designCaption(QuestionType::Answer));
}

void Tfrm_tm::buildMatchingPanel()
{
    Image_lianxianti = new Picture(Panel_lianxianti, QStringLiteral("Image_lianxianti"));
    // Drawn unscaled from the corner inside the bevels: the lines' pixel places are the marks' panel places.
    Image_lianxianti->setGeometry(Panel_lianxianti->inner());
    lab_lianxianti_tm = textLabel(Panel_lianxianti, QStringLiteral("lab_lianxianti_tm"), QRect(76, 120, 871, 87),
                                  Qt::AlignCenter, false);
    for (int k = 0; k < quiz::kPairCount; ++k) {
        const std::size_t i = std::size_t(k);
        lab_lianxianti_daz[i] = textLabel(Panel_lianxianti, QStringLiteral("lab_lianxianti_daz%1").arg(k + 1),
                                          QRect(0, kLeftItemTops[i], 339, 56), Qt::AlignRight | Qt::AlignVCenter, false);
        but_z[i] = numberMark(Panel_lianxianti, QStringLiteral("but_z%1").arg(k + 1), k + 1, kLeftMarks[i], QColor(0, 0, 255));
        but_y[i] = numberMark(Panel_lianxianti, QStringLiteral("but_y%1").arg(k + 1), k + 1, kRightMarks[i], QColor(255, 255, 0));
        lab_lianxianti_day[i] = textLabel(Panel_lianxianti, QStringLiteral("lab_lianxianti_day%1").arg(k + 1),
                                          QRect(677, kRightItemTops[i], 339, 56), Qt::AlignLeft | Qt::AlignVCenter, false);
    }
    countdown[2] = new quiz::CountdownBox(Panel_lianxianti, QStringLiteral("Panel2"), QStringLiteral("lab_lxttime"),
                                          QRect(872, 10, 116, 69), 67, quiz::designCaption(QuestionType::Matching));
}

void Tfrm_tm::buildPicturePanel()
{
    image_tupianti = new quiz::TransitionPicture(Panel_tupianti, QStringLiteral("image_tupianti"));
    image_tupianti->setGeometry(Panel_tupianti->inner());
    countdown[3] = new quiz::CountdownBox(Panel_tupianti, QStringLiteral("Panel"), QStringLiteral("lab_tpttime"),
                                          QRect(872, 10, 137, 65), 67, quiz::designCaption(QuestionType::Picture));
}

void Tfrm_tm::buildMediaPanel()
{
    Image_duomeiti = background(Panel_duomeiti, QStringLiteral("Image_duomeiti"));
    media = context().services.media->createClipPlayer(Panel_duomeiti);
    QWidget *surface = media->widget();
    surface->setObjectName(QStringLiteral("media"));
    surface->setGeometry(53, 50, 919, 574);
    surface->setFocusPolicy(Qt::NoFocus);
    media->onFailure([this](const QString &path, const QString &text) { guard([&] { clipFailed(path, text); }); });
    // Sound has no picture: the audience sees a note in the player's place instead of an empty video area.
    lab_audio = textLabel(Panel_duomeiti, QStringLiteral("lab_audio"), surface->geometry(), Qt::AlignCenter, true);
    lab_audio->setFont(stageFont(QStringLiteral("黑体"), 72, true));
    lab_audio->setTextColour(QColor(255, 230, 90));
    lab_audio->setShadow(Qt::black, 3, 3);
    lab_audio->setText(QStringLiteral("♪ 请听音频 ♪"));
    lab_audio->hide();
    auto flatButton = [this](const QString &name, const QString &caption, int left) {
        auto *b = new QPushButton(caption, Panel_duomeiti);
        b->setObjectName(name);
        b->setGeometry(left, 679, 50, 20);
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    but_play = flatButton(QStringLiteral("but_play"), QStringLiteral("开始"), 852);
    but_pause = flatButton(QStringLiteral("but_pause"), QStringLiteral("暂停"), 914);
    countdown[4] = new quiz::CountdownBox(Panel_duomeiti, QStringLiteral("Panel3"), QStringLiteral("lab_mediatime"),
                                          QRect(884, 2, 137, 65), 67, quiz::designCaption(QuestionType::Media));
}

void Tfrm_tm::buildFlashPanel()
{
    Flash1 = context().services.media->createFlashPlayer(Panel_flash);
    QWidget *view = Flash1->widget();
    view->setObjectName(QStringLiteral("Flash1"));
    view->setGeometry(Panel_flash->inner());
    view->setFocusPolicy(Qt::NoFocus);
}

void Tfrm_tm::keepFocusHere(QWidget *now)
{
    if (!now || !isVisible() || now == this)
        return;
    QWidget *players[] = {media->widget(), Flash1->widget()};
    for (QWidget *player : players)
        if (now == player || player->isAncestorOf(now))
            setFocus();
}

// --- Showing and closing ---

void Tfrm_tm::onShow()
{
    // The built-in pictures are drawn at the first showing, not at start-up.
    if (Image_option[0]->isEmpty()) {
        const QPixmap tile = quiz::builtInTile();
        for (Picture *picture : Image_tm)
            picture->setPixmap(tile);
        for (int k = 0; k < quiz::kOptionCount; ++k)
            Image_option[std::size_t(k)]->setPixmap(quiz::optionFrame(k));
    }
    setFocus();
    // Each showing tries again what failed in the last one: the organisers may have mended it meanwhile.
    m_broken.clear();
    m_failedEffects.clear();
    load_quiz_settings();
    load_backgrounds();
    build_board();
}

void Tfrm_tm::onClose()
{
    Flash1->stop();
    media->close();
}

void Tfrm_tm::load_quiz_settings()
{
    Panel_xztm->move(0, 0);
    Panel_xztm->show();
    for (QWidget *panel : {static_cast<QWidget *>(panel_wendati), static_cast<QWidget *>(Panel_tupianti),
                           static_cast<QWidget *>(Panel_duomeiti), static_cast<QWidget *>(Panel_xzt),
                           static_cast<QWidget *>(Panel_lianxianti), static_cast<QWidget *>(Panel_flash)})
        panel->hide();
    const SettingsFiles &settings = context().settings;
    for (int i = 0; i < quiz::kTypeCount; ++i)
        m_countdownStart[std::size_t(i)] = settings.readInt(keys::kQuiz, kCountdownKeys[std::size_t(i)]);
    m_countdownLocked = settings.readInt(keys::kQuiz, keys::kCountdownLocked) == 1;
    m_soundThreshold = settings.readInt(keys::kQuiz, keys::kCountdownSoundFrom);
}

void Tfrm_tm::load_backgrounds()
{
    const AssetPaths &paths = context().paths;
    loadFitted(Image_xtbj, paths.file(assets::kBoardBackground));
    loadFitted(Image_xztbj, paths.file(assets::kChoiceBackground));
    loadFitted(Image_wdtbj, paths.file(assets::kAnswerBackground));
    // The matching panel shows its background until a matching question loads the drawing surface.
    Image_lianxianti->loadFile(paths.file(assets::kMatchingBackground));
    m_pen = QPoint();
    loadFitted(Image_duomeiti, paths.file(assets::kMediaBackground));
}

void Tfrm_tm::build_board()
{
    m_tileCount = context().settings.readInt(keys::kQuiz, keys::kTileCount);
    const int tiles = quiz::tilesInPlay(m_tileCount);
    // One file for every tile: read once, the same picture for each.
    if (tiles > 0)
        loadFitted(Image_tm[0], context().paths.file(assets::kTilePicture));
    for (int n = 1; n < tiles; ++n)
        Image_tm[std::size_t(n)]->setPixmap(Image_tm[0]->pixmap());
    for (int n = 0; n < quiz::kTileCount; ++n) {
        Image_tm[std::size_t(n)]->hide();
        lab_tm[std::size_t(n)]->hide();
    }
    // Every tile is drawn anew from the database: the issue may have changed since the last showing, and a
    // caption cleared by a click then is given back.
    for (int n = 1; n <= tiles; ++n) {
        Image_tm[std::size_t(n - 1)]->show();
        const int presented = groupCount(n, true);
        const quiz::TileLook look = quiz::tileLook(presented, presented > 0 ? groupCount(n, false) : 0);
        quiz::TileLabel *label = lab_tm[std::size_t(n - 1)];
        label->setText(look == quiz::TileLook::Number ? QString::number(n) : QString());
        label->setVisible(look != quiz::TileLook::Finished);
    }
}

int Tfrm_tm::groupCount(int group, bool presented)
{
    Dataset &count = context().data->adoq_ls1;
    count.close();
    count.setSql(kCount);
    count.bindText(QStringLiteral(":ls"), context().current_issue);
    count.bindBool(QStringLiteral(":ls2"), presented);
    count.bindText(QStringLiteral(":ls3"), QString::number(group));
    count.open();
    return count.value(QStringLiteral("sl")).toInt();
}

bool Tfrm_tm::boardVisible() const
{
    return !Panel_xztm->isHidden();
}

// --- Tiles and groups ---

void Tfrm_tm::tilePressed(int tile, Qt::KeyboardModifiers modifiers)
{
    if (tile < 1 || tile > quiz::kTileCount || lab_tm[std::size_t(tile - 1)]->isHidden())
        return;
    if (tile <= 2 && modifiers.testFlag(Qt::ShiftModifier)) {
        const std::optional<QFont> font = context().dialogs().chooseFont(this, lab_tm[std::size_t(tile - 1)]->font());
        if (!font)
            return;
        const int points = font->pointSize() > 0 ? font->pointSize()
                                                 : int(std::lround(font->pixelSize() * 72.0 / 96.0));
        context().settings.writeAll({{keys::kQuiz, keys::kQuestionFont, font->family()},
                                     {keys::kQuiz, keys::kQuestionSize, decimal_text::fromInt(points)}});
        return;
    }
    m_currentGroup = tile;
    lab_tm[std::size_t(tile - 1)]->setText({});
    open_group(tile);
}

void Tfrm_tm::open_group(int group)
{
    reset_question_display();
    Panel_xztm->hide();
    if (!presentFirstUnasked(group))
        m_currentType.clear();
}

void Tfrm_tm::next_question()
{
    reset_question_display();
    if (!presentFirstUnasked(m_currentGroup)) {
        time_djs->stop();
        Panel_xztm->move(0, 0);
        Panel_xztm->show();
    }
}

bool Tfrm_tm::presentFirstUnasked(int group)
{
    Dataset &q = context().data->adoq_ctcx;
    q.close();
    q.setSql(kUnasked);
    q.bindText(QStringLiteral(":ls"), context().current_issue);
    q.bindBool(QStringLiteral(":ls2"), false);
    q.bindText(QStringLiteral(":ls3"), QString::number(group));
    q.open();
    // A question that could not be shown in this showing is passed over: the group goes on without it.
    for (q.first(); !q.eof() && m_broken.contains(q.value(QStringLiteral("tmid")).toLongLong()); q.next()) {
    }
    if (q.isEmpty() || q.eof())
        return false;
    m_currentType = q.text(QStringLiteral("tmlx")).trimmed();
    present_question();
    return true;
}

void Tfrm_tm::escape()
{
    if (boardVisible()) {
        closeScreen();
        return;
    }
    // The Flash panel lies above the board: left there, it would hide the tiles from the operator.
    Panel_flash->hide();
    Panel_xztm->move(0, 0);
    Panel_xztm->show();
}

// --- Presentation ---

void Tfrm_tm::showPanel(QWidget *panel)
{
    panel->move(0, 0);
    panel->show();
}

void Tfrm_tm::present_question()
{
    const Dataset &row = context().data->adoq_ctcx;
    // Counted as broken until it is shown and marked: a failure on the way leaves it unasked and passed over
    // by the next Up, instead of blocking its group.
    const qint64 id = row.value(QStringLiteral("tmid")).toLongLong();
    m_broken.insert(id);
    m_brokenOnDisplay = true;
    switch (quiz::questionType(m_currentType)) {
    case QuestionType::Choice: presentChoice(row); break;
    case QuestionType::Answer: presentAnswer(row); break;
    case QuestionType::Matching: presentMatching(row); break;
    case QuestionType::Picture: presentPicture(row); break;
    case QuestionType::Media: presentMedia(row); break;
    case QuestionType::None: return; // neither shown nor marked
    }
    markUsed();
    m_broken.remove(id);
    m_brokenOnDisplay = false;
    if (quiz::questionType(m_currentType) == QuestionType::Media && !m_clipPath.isEmpty())
        m_clipRow = id;
}

void Tfrm_tm::markUsed()
{
    Dataset &q = context().data->adoq_ctcx;
    q.edit();
    q.setValue(QStringLiteral("tmyes"), true);
    q.post();
}

void Tfrm_tm::presentChoice(const Dataset &row)
{
    showPanel(Panel_xzt);
    lab_xzttm->setText(row.text(QStringLiteral("tmmc")));
    applyStyle(lab_xzttm, row, QStringLiteral("tm"), 2);
    for (int k = 0; k < quiz::kOptionCount; ++k) {
        const QString text = row.text(QStringLiteral("da%1").arg(k + 1));
        const bool shown = !text.trimmed().isEmpty();
        Image_option[std::size_t(k)]->setVisible(shown);
        lab_option[std::size_t(k)]->setVisible(shown);
        if (shown) {
            lab_option[std::size_t(k)]->setText(text);
            applyStyle(lab_option[std::size_t(k)], row, QStringLiteral("da"), 2);
        }
    }
    m_correctAnswer = row.text(QStringLiteral("zqda")).trimmed();
}

void Tfrm_tm::presentAnswer(const Dataset &row)
{
    showPanel(panel_wendati);
    ed_wendati->show();
    ed_wendati->setText(row.text(QStringLiteral("tmmc")));
    applyStyle(ed_wendati, row, QStringLiteral("tm"), 2);
    ed_wendatida->setText(row.text(QStringLiteral("danr")));
    applyStyle(ed_wendatida, row, QStringLiteral("da"), 2);
}

void Tfrm_tm::presentMatching(const Dataset &row)
{
    Image_lianxianti->loadFile(context().paths.file(assets::kMatchingSurface));
    m_pen = QPoint();
    showPanel(Panel_lianxianti);
    lab_lianxianti_tm->setText(row.text(QStringLiteral("tmmc")));
    applyStyle(lab_lianxianti_tm, row, QStringLiteral("tm"), 2);
    for (int k = 0; k < quiz::kPairCount; ++k) {
        const std::size_t i = std::size_t(k);
        lab_lianxianti_daz[i]->setText(row.text(QStringLiteral("lxz%1").arg(k + 1)));
        lab_lianxianti_day[i]->setText(row.text(QStringLiteral("lxy%1").arg(k + 1)));
    }
    for (int k = 0; k < quiz::kPairCount; ++k) {
        applyStyle(lab_lianxianti_daz[std::size_t(k)], row, QStringLiteral("da"), 2);
        applyStyle(lab_lianxianti_day[std::size_t(k)], row, QStringLiteral("da"), 2);
    }
    m_matchingPairs.clear();
    for (int k = 1; k <= quiz::kPairCount; ++k)
        m_matchingPairs << row.text(QStringLiteral("da%1").arg(k)).trimmed();
}

void Tfrm_tm::presentPicture(const Dataset &row)
{
    // Emptied first: a picture that cannot be read leaves the panel's ground, never the last question's picture.
    image_tupianti->clear();
    showPanel(Panel_tupianti);
    image_tupianti->show();
    const AssetPaths &paths = context().paths;
    const QString question = paths.named(assets::kQuestionPictures, row.text(QStringLiteral("tmmc")));
    m_answerPicturePath = paths.named(assets::kAnswerPictures, row.text(QStringLiteral("danr")));
    image_tupianti->loadFile(question);
    image_tupianti->startTransition(context().services.random->below(quiz::TransitionPicture::EffectCount));
}

void Tfrm_tm::presentMedia(const Dataset &row)
{
    Panel_duomeiti->move(0, 0);
    const QString name = row.text(QStringLiteral("tmmc")).trimmed();
    const assets::MediaKind kind = assets::mediaKind(name);
    if (kind == assets::MediaKind::None)
        return;
    const QString path = context().paths.named(assets::mediaFolder(kind), name);
    // The panel's backdrop and countdown come first, and stay if the file cannot be played.
    showNeutralMedia();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw AppError(QStringLiteral("找不到多媒体题的文件“%1”，这道题没有播放。\n%2").arg(name, path));
    switch (kind) {
    case assets::MediaKind::Audio:
    case assets::MediaKind::Video:
        media->widget()->setVisible(kind == assets::MediaKind::Video);
        lab_audio->setVisible(kind == assets::MediaKind::Audio);
        m_clipPath = path;
        m_clipRow = -1; // known once the question is marked
        media->setUrl(path);
        media->play();
        break;
    case assets::MediaKind::Flash:
        if (!looksLikeFlashMovie(path))
            throw AppError(QStringLiteral("文件“%1”不是Flash动画，这道题没有播放。\n%2").arg(name, path));
        Flash1->setMovie(path);
        showPanel(Panel_flash);
        Panel_duomeiti->hide();
        Flash1->play();
        break;
    case assets::MediaKind::None:
        break;
    }
}

void Tfrm_tm::showNeutralMedia()
{
    Panel_flash->hide();
    media->widget()->hide();
    lab_audio->hide();
    showPanel(Panel_duomeiti);
}

void Tfrm_tm::clipFailed(const QString &path, const QString &text)
{
    // Only the clip of the question on display: a clip closed since has nothing more to say.
    if (path != m_clipPath)
        return;
    const qint64 id = m_clipRow;
    m_clipPath.clear();
    m_clipRow = -1;
    media->close();
    const bool onDisplay = !Panel_duomeiti->isHidden();
    if (onDisplay)
        showNeutralMedia();
    if (id >= 0) {
        // Not played, so not asked: it stays in its group for a later showing, and Up goes on without it.
        Dataset &q = context().data->adoq_ls1;
        q.close();
        q.setSql(kUnmark);
        q.bindBool(QStringLiteral(":ls"), false);
        q.bindText(QStringLiteral(":ls1"), QString::number(id));
        q.execute();
        m_broken.insert(id);
        m_brokenOnDisplay = onDisplay;
    }
    throw AppError(text);
}

void Tfrm_tm::reset_question_display()
{
    const bool normal = !m_countdownLocked;
    if (normal)
        time_djs->stop();
    Panel_xzt->hide();
    lab_xzttm->setText({});
    for (int k = 0; k < quiz::kOptionCount; ++k) {
        lab_option[std::size_t(k)]->setText({});
        setLook(k, OptionLook::Clear);
    }
    ed_wendati->hide();
    ed_wendatida->hide();
    Panel_tupianti->hide();
    // The panels go in both modes: one left in view would cover the next question, which would then be
    // taken out of play unseen. The locked mode keeps the players, the timer and the captions going.
    panel_wendati->hide();
    Panel_lianxianti->hide();
    Panel_duomeiti->hide();
    Panel_flash->hide();
    m_brokenOnDisplay = false;
    if (!normal)
        return;
    m_clipPath.clear();
    m_clipRow = -1;
    media->close();
    Flash1->stop();
    reset_countdown_captions();
}

void Tfrm_tm::setLook(int option, OptionLook look)
{
    m_looks[std::size_t(option)] = look;
    lab_option[std::size_t(option)]->setBackground(quiz::optionBackground(look));
}

void Tfrm_tm::reveal_answer()
{
    time_djs->stop();
    // A question that could not be shown has no answer to give away.
    if (m_brokenOnDisplay)
        return;
    switch (quiz::questionType(m_currentType)) {
    case QuestionType::Choice:
        if (std::find(m_looks.begin(), m_looks.end(), OptionLook::Correct) != m_looks.end())
            return;
        for (int k : quiz::correctOptions(m_correctAnswer))
            setLook(k, OptionLook::Correct);
        break;
    case QuestionType::Answer:
        ed_wendati->hide();
        ed_wendatida->show();
        break;
    case QuestionType::Matching:
        draw_matching_lines();
        break;
    case QuestionType::Picture:
        image_tupianti->clear();
        image_tupianti->loadFile(m_answerPicturePath);
        image_tupianti->startTransition(context().services.random->below(quiz::TransitionPicture::EffectCount));
        break;
    case QuestionType::Media:
    case QuestionType::None:
        break;
    }
}

void Tfrm_tm::toggle_option(int option)
{
    if (quiz::questionType(m_currentType) != QuestionType::Choice || option < 0 || option >= quiz::kOptionCount
        || lab_option[std::size_t(option)]->isHidden())
        return;
    setLook(option, quiz::toggled(m_looks[std::size_t(option)]));
}

void Tfrm_tm::wipe_matching_lines()
{
    Image_lianxianti->loadFile(context().paths.file(assets::kMatchingSurface));
    m_pen = QPoint();
}

void Tfrm_tm::draw_matching_lines()
{
    std::array<QRect, quiz::kPairCount> left, right;
    for (int k = 0; k < quiz::kPairCount; ++k) {
        left[std::size_t(k)] = but_z[std::size_t(k)]->geometry();
        right[std::size_t(k)] = but_y[std::size_t(k)]->geometry();
    }
    const QList<quiz::Line> lines = quiz::matchingLines(m_matchingPairs, left, right, m_pen);
    if (lines.isEmpty() || Image_lianxianti->isEmpty())
        return;
    QPixmap surface = Image_lianxianti->pixmap();
    {
        QPainter p(&surface);
        p.setPen(QPen(QColor(255, 0, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const quiz::Line &line : lines)
            p.drawLine(line.from, line.to);
    }
    Image_lianxianti->setPixmap(surface);
}

// --- Countdown ---

int Tfrm_tm::countdown_start(QuestionType type) const
{
    const int i = quiz::typeIndex(type);
    return i < 0 ? 0 : m_countdownStart[std::size_t(i)];
}

ShadowLabel *Tfrm_tm::countdownCaption(QuestionType type) const
{
    const int i = quiz::typeIndex(type);
    return i < 0 ? nullptr : countdown[std::size_t(i)]->caption;
}

void Tfrm_tm::start_stop_countdown()
{
    if (time_djs->isActive()) {
        time_djs->stop();
        return;
    }
    time_djs->setInterval(kTickMs);
    time_djs->start();
}

void Tfrm_tm::reset_countdown_captions()
{
    for (int i = 0; i < quiz::kTypeCount; ++i)
        countdown[std::size_t(i)]->caption->setText(decimal_text::fromInt(m_countdownStart[std::size_t(i)]));
}

void Tfrm_tm::countdown_tick()
{
    ShadowLabel *caption = countdownCaption(quiz::questionType(m_currentType));
    if (!caption)
        return;
    const quiz::Tick tick = quiz::countdownTick(decimal_text::toInt(caption->text()), m_soundThreshold);
    if (tick.stop) {
        time_djs->stop();
        return;
    }
    caption->setText(decimal_text::fromInt(tick.caption));
    if (tick.tickSound)
        play_effect(kTickSoundName);
    if (tick.timeUpSound)
        play_effect(kTimeUpSoundName);
}

void Tfrm_tm::time_djsTimer()
{
    guard([this] { countdown_tick(); });
}

void Tfrm_tm::play_effect(const QString &fileName)
{
    // A sound that failed once in this showing is not tried again: one report, and the clock goes on.
    const QString path = context().paths.file(assets::kSounds + fileName.trimmed());
    if (m_failedEffects.contains(path))
        return;
    m_failedEffects.insert(path);
    media_yx->setFileName(path);
    media_yx->open();
    media_yx->play();
    m_failedEffects.remove(path);
}

void Tfrm_tm::effectFailed(const QString &path, const QString &text)
{
    if (m_failedEffects.contains(path))
        return;
    m_failedEffects.insert(path);
    throw AppError(text);
}

// --- Keys ---

bool Tfrm_tm::keyDown(int key, Qt::KeyboardModifiers, bool)
{
    switch (key) {
    case vk::Return:
        time_djs->stop();
        reveal_answer();
        return true;
    case vk::Delete:
        if (quiz::questionType(m_currentType) == QuestionType::Matching)
            wipe_matching_lines();
        return true;
    case vk::Semicolon:
        reset_countdown_captions();
        return true;
    case vk::Quote:
        start_stop_countdown();
        return true;
    default:
        if (key >= vk::digit(1) && key <= vk::digit(quiz::kOptionCount)) {
            toggle_option(key - vk::digit(1));
            return true;
        }
        return false;
    }
}

bool Tfrm_tm::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::Escape:
        escape();
        return true;
    case vk::Up:
        if (!boardVisible())
            next_question();
        return true;
    default:
        return false;
    }
}
