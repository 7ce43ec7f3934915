#include "tfrm_main.h"

#include "authoring/tfrm_tmlr.h"
#include "menu_artwork.h"
#include "media/media_interfaces.h"
#include "settings/decimal_text.h"
#include "settings/settings_keys.h"
#include "setup/tfrm_cssz.h"
#include "show/tfrm_debug.h"
#include "show/tshow_main.h"
#include "ui/click_area.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"
#include "ui/stage_display.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

struct AreaDesign {
    QRect highlight;
    QRect clickArea;
};

const AreaDesign kAreas[4] = {
    {{55, 317, 208, 136}, {51, 312, 213, 196}},
    {{282, 315, 208, 136}, {277, 312, 217, 196}},
    {{510, 315, 208, 136}, {507, 312, 216, 196}},
    {{742, 315, 208, 136}, {739, 312, 215, 196}},
};

} // namespace

Tfrm_main::Tfrm_main(AppContext &context) : StageWindow(context, QStringLiteral("frm_main"))
{
    setWindowTitle(QStringLiteral("Quelmora"));
    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kStageWidth, kStageHeight);

    for (int i = 0; i < 4; ++i) {
        highlights[i] = new Picture(this, QStringLiteral("Image%1").arg(i + 2));
        highlights[i]->setGeometry(kAreas[i].highlight);
        highlights[i]->hide();
    }
    // The click areas lie above the highlights, so a click anywhere in an area reaches its handler.
    for (int i = 0; i < 4; ++i) {
        areas[i] = new ClickArea(this, QStringLiteral("Label%1").arg(i + 1));
        areas[i]->setGeometry(kAreas[i].clickArea);
        connect(areas[i], &ClickArea::clicked, this, [this, i] { guard([&] { openArea(i); }); });
        connect(areas[i], &ClickArea::entered, this, [this, i] { highlights[i]->show(); });
        connect(areas[i], &ClickArea::left, this, [this, i] { highlights[i]->hide(); });
    }

    lab_qs = new ShadowLabel(this, QStringLiteral("lab_qs"));
    lab_qs->setGeometry(387, 613, 203, 37);
    lab_qs->setFont(stageFont(QStringLiteral("黑体"), 35, true));
    lab_qs->setTextColour(Qt::blue);
    lab_qs->setShadow(QColor(200, 220, 255), 2, 2);
    lab_qs->setAlignment(Qt::AlignCenter);
    lab_qs->setText(QStringLiteral("第3期题目"));

    auto flatButton = [this](const QString &name, const QRect &place) {
        auto *b = new QPushButton(this);
        b->setObjectName(name);
        b->setGeometry(place);
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral("QPushButton{background:transparent;border:none;}"
                                        "QPushButton:hover{background:rgba(255,255,255,40);border-radius:8px;}"));
        return b;
    };
    button_help = flatButton(QStringLiteral("button_help"), {750, 12, 50, 49});
    Button_exit = flatButton(QStringLiteral("Button_exit"), {950, 10, 51, 49});
    connect(button_help, &QPushButton::clicked, this, [this] { guard([this] { openHelp(); }); });
    connect(Button_exit, &QPushButton::clicked, qApp, &QCoreApplication::quit);

    QScreen *display = context.stage ? context.stage->screen() : QGuiApplication::primaryScreen();
    // The stored pictures are shown in place; only a scale drawn for none is made to fit, beside the rest
    // of start-up.
    if (display && menuArtScaleFor(display->devicePixelRatio()) != display->devicePixelRatio())
        m_artwork = std::async(std::launch::async, &Tfrm_main::artworkFor, display->devicePixelRatio());
}

void Tfrm_main::onShow()
{
    const bool first = Image1->isEmpty();
    if (first)
        loadArtwork();
    // The team reset and the database are independent: a bad team count is reported and the database
    // is still opened, so the show can go on.
    guard([this] { resetTeamScores(); });
    for (Picture *h : highlights)
        h->hide();
    // The other screens are made and the database opens right after the menu is painted, or when an area
    // is opened before that, so the menu shows without waiting for them.
    m_databasePending = true;
    // Without a window manager the menu is never activated: the issue label must not wait for it.
    activationSteps();
    // At start-up the label is the only text of the first paint, so the type loads for it on the font thread.
    if (first) {
        const qreal dpr = lab_qs->devicePixelRatioF();
        const QRect place = lab_qs->geometry();
        const QRect device((QPointF(place.topLeft()) * dpr).toPoint(), (QSizeF(place.size()) * dpr).toSize());
        lab_qs->drawAhead(Image1->pixmap().toImage().copy(device));
    }
}

void Tfrm_main::resetTeamScores()
{
    const int teams = decimal_text::toInt(context().settings.read(keys::kCompetition, keys::kTeamCount));
    QList<IniFile::Entry> entries;
    for (int i = 1; i <= teams; ++i)
        entries.append({keys::kTeamScores, keys::teamScore(i), QStringLiteral("0")});
    context().settings.teamScores().writeAll(entries);
}

bool Tfrm_main::event(QEvent *event)
{
    const bool done = StageWindow::event(event);
    if (event->type() == QEvent::Paint && m_databasePending)
        QTimer::singleShot(0, this, [this] { finishStart(); });
    return done;
}

void Tfrm_main::finishStart()
{
    if (context().completeStart)
        context().completeStart();
    openPendingDatabase();
}

void Tfrm_main::openPendingDatabase()
{
    if (!m_databasePending)
        return;
    m_databasePending = false;
    guard([this] { openDatabase(); });
}

void Tfrm_main::openDatabase()
{
    context().data->connectTo(context().paths.file(assets::kDatabaseFile));
}

void Tfrm_main::activationSteps()
{
    QString &issue = context().current_issue;
    if (issue.trimmed().isEmpty())
        issue = QStringLiteral("0");
    lab_qs->setText(QStringLiteral("第") + issue.trimmed() + QStringLiteral("期题目"));
}

void Tfrm_main::changeEvent(QEvent *event)
{
    StageWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activationSteps();
}

void Tfrm_main::openArea(int area)
{
    finishStart();
    StageWindow *screen = nullptr;
    const Screens &s = context().screens;
    switch (area) {
    case 0: screen = s.show_main; break;
    case 1: screen = s.frm_tmlr; break;
    case 2: screen = s.frm_debug; break;
    case 3: screen = s.frm_cssz; break;
    default: return;
    }
    if (!screen)
        return;
    for (Picture *h : highlights)
        h->hide();
    // Back from a modal screen the menu shows the issue at once, even where no activation follows.
    connect(screen, &StageWindow::closed, this, &Tfrm_main::activationSteps, Qt::UniqueConnection);
    screen->openModal(this);
}

void Tfrm_main::openHelp()
{
    ShellOpen &shell = *context().services.shell;
    const QString path = context().paths.file(assets::kHelpFile);
    const bool present = QFileInfo::exists(path);
    if (present && shell.hasViewer(path)) {
        shell.open(path);
        return;
    }
    // The same guide as web pages, for a machine where the help file cannot be opened.
    const QString pages = context().paths.file(QStringLiteral("帮助/html/index.html"));
    if (!QFileInfo::exists(pages)) {
        if (present)
            context().dialogs().information(this, QStringLiteral("无法打开帮助：本机没有打开帮助文件的程序。\n") + path);
        return;
    }
    const QString reason = present ? QStringLiteral("本机没有打开帮助文件的程序：") : QStringLiteral("找不到帮助文件：");
    if (!shell.hasViewer(pages)) {
        context().dialogs().information(this, QStringLiteral("无法打开帮助：本机没有打开帮助文件或网页的程序。\n")
                                                  + reason + path + QLatin1Char('\n') + pages);
        return;
    }
    context().dialogs().information(this, QStringLiteral("无法打开帮助文件，将在浏览器中打开帮助网页。\n") + reason + path);
    shell.open(pages);
}

Tfrm_main::Artwork Tfrm_main::artworkFor(qreal dpr)
{
    // A scaled stage takes the pictures drawn for its scale (or the next larger, made to fit once), so
    // they stay sharp and each paint is a plain copy; a stage at its own size takes the small ones.
    auto load = [dpr](const QString &base, const QSize &stageSize) {
        const qreal scale = menuArtScaleFor(dpr);
        QImage image = storedMenuPicture(menuArtName(base, scale));
        const QSize device = (QSizeF(stageSize) * dpr).toSize();
        if (image.size() != device && !image.isNull())
            image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(dpr);
        return image;
    };
    return {dpr, load(QStringLiteral("menu_background"), QSize(kStageWidth, kStageHeight)),
            load(QStringLiteral("menu_highlight"), kAreas[0].highlight.size())};
}

void Tfrm_main::loadArtwork()
{
    const qreal dpr = devicePixelRatioF();
    Artwork art = m_artwork.valid() ? m_artwork.get() : Artwork{};
    if (art.dpr != dpr)
        art = artworkFor(dpr);
    Image1->setPixmap(QPixmap::fromImage(std::move(art.background)));
    const QPixmap glow = QPixmap::fromImage(std::move(art.highlight));
    for (Picture *h : highlights)
        h->setPixmap(glow);
}
