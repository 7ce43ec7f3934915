#include "tfrm_djs.h"

#include "clock_rules.h"
#include "media/asset_paths.h"
#include "media/media_interfaces.h"
#include "settings/decimal_text.h"
#include "settings/settings_keys.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kTickMs = 1000;
constexpr int kNumberPixels = 227; // the design's type; longer numbers get smaller type
constexpr int kSmallestPixels = 8;
constexpr QRect kNumberBox(297, 262, 425, 249);
constexpr int kShadowOffset = 2;
constexpr QRect kPresetListPlace(952, 730, 57, 24);

// Keys that would type a character into the list or the focus box.
bool isCharacterKey(int key)
{
    return key == vk::Back || key == vk::Tab || key == vk::Return || key == vk::Space
           || (key >= vk::Digit0 && key <= vk::digit(9)) || (key >= vk::A && key <= vk::letter('Z'))
           || (key >= vk::Numpad0 && key <= vk::Divide) || (key >= vk::Semicolon && key <= vk::Grave)
           || (key >= vk::LeftBracket && key <= vk::Quote);
}

} // namespace

Tfrm_djs::Tfrm_djs(AppContext &context) : StageWindow(context, QStringLiteral("frm_djs"))
{
    setWindowTitle(QStringLiteral("倒计时"));

    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kStageWidth, kStageHeight);
    Image1->setStretch(true);

    lab_djs = new ShadowLabel(this, QStringLiteral("lab_djs"));
    lab_djs->setGeometry(kNumberBox);
    lab_djs->setFont(stageFont(QStringLiteral("Times New Roman"), kNumberPixels, true));
    lab_djs->setTextColour(Qt::red);
    lab_djs->setShadow(Qt::yellow, kShadowOffset, kShadowOffset);
    lab_djs->setAlignment(Qt::AlignCenter);

    combox_djs = new QComboBox(this);
    combox_djs->setObjectName(QStringLiteral("combox_djs"));
    combox_djs->setGeometry(kPresetListPlace);
    combox_djs->setEditable(false);
    combox_djs->setFont(stageFont(QStringLiteral("宋体"), 16));
    // Yellow on the classic desktop blue.
    combox_djs->setStyleSheet(QStringLiteral("QComboBox, QComboBox QAbstractItemView {color: #ffff00;"
                                             "background: #3a6ea5; selection-background-color: #1c3f6e;}"));
    combox_djs->setAccessibleName(QStringLiteral("倒计时秒数"));
    combox_djs->view()->installEventFilter(this);
    connect(combox_djs, &QComboBox::activated, this, [this](int index) { guard([&] { choosePreset(index); }); });

    Media1 = context.services.media->createMediaPlayer(this);

    time_djs = new QTimer(this);
    time_djs->setObjectName(QStringLiteral("time_djs"));
    time_djs->setTimerType(Qt::PreciseTimer);
    time_djs->setInterval(kTickMs);
    connect(time_djs, &QTimer::timeout, this, [this] { guard([this] { time_djsTimer(); }); });
}

void Tfrm_djs::makeWidgets()
{
    // The focus holder is an edit box, whose making lays out text: made at the first opening, so the
    // start-up does not wait for the fonts on its behalf.
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(-200, -200, 40, 20);
}

void Tfrm_djs::onShow()
{
    // Each step stands alone: a threshold that is no number must not keep the presets from the list.
    time_djs->stop();
    m_preset = QStringLiteral("0");
    lab_djs->setText({});
    m_reportedSounds.clear();
    guard([this] {
        m_threshold = 0;
        m_threshold = context().settings.readInt(keys::kContest, keys::kBigCountdownSound);
    });
    guard([this] { fillPresets(); });
    guard([this] { Image1->loadFile(context().paths.file(assets::kCountdownBackground)); });
    combox_djs->setFocus();
}

void Tfrm_djs::fillPresets()
{
    combox_djs->clear();
    Dataset &q = context().data->adoq_ls;
    q.close();
    q.setSql(QStringLiteral("select * from djs order by js"));
    q.open();
    QStringList presets;
    for (q.first(); !q.eof(); q.next())
        presets << q.text(QStringLiteral("js"));
    combox_djs->addItems(presets);
    combox_djs->setCurrentIndex(-1);
    // Wide enough for the longest preset, growing to the left from the screen's right edge.
    const QFontMetrics metrics(combox_djs->font());
    int widest = 0;
    for (const QString &preset : presets)
        widest = std::max(widest, metrics.horizontalAdvance(preset));
    QStyleOptionComboBox option;
    option.initFrom(combox_djs);
    const QSize needed = combox_djs->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                               QSize(widest, metrics.height()), combox_djs);
    const int width = std::max(kPresetListPlace.width(), needed.width());
    combox_djs->setGeometry(kPresetListPlace.right() + 1 - width, kPresetListPlace.top(), width,
                            kPresetListPlace.height());
}

void Tfrm_djs::onClose()
{
    Media1->close();
    time_djs->stop();
}

void Tfrm_djs::choosePreset(int index)
{
    if (index < 0 || index >= combox_djs->count())
        return;
    time_djs->stop();
    m_preset = combox_djs->itemText(index).trimmed();
    showNumber(m_preset);
    if (Edit1)
        Edit1->setFocus();
}

void Tfrm_djs::startStop()
{
    if (time_djs->isActive()) {
        time_djs->stop();
        return;
    }
    // Nothing chosen yet: there is no number to count down from.
    if (lab_djs->text().trimmed().isEmpty())
        return;
    // A preset that is no whole number is told once, here, rather than at every tick.
    decimal_text::toInt(lab_djs->text());
    m_reportedSounds.clear();
    time_djs->setInterval(kTickMs);
    time_djs->start();
}

void Tfrm_djs::reset()
{
    showNumber(m_preset.trimmed());
}

int Tfrm_djs::numberPixelSize(const QString &text)
{
    // Every number of the same length gets the same type, so the figures keep their size from one
    // second to the next; the widest digit stands for each.
    QString shape = text;
    for (QChar &c : shape)
        if (c.isDigit())
            c = QLatin1Char('0');
    if (const auto found = m_sizes.constFind(shape); found != m_sizes.cend())
        return *found;

    const QFont base = lab_djs->font();
    const auto fits = [&](int pixels) {
        QFont font = base;
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        // Where the label draws it: centred on the line box; the ink spans at least the digits' height
        // and the text's advance, and the shadow adds its offset to the lower right.
        const qreal advance = metrics.horizontalAdvance(shape);
        const qreal left = kNumberBox.left() + (kNumberBox.width() - advance) / 2;
        const qreal baseline = kNumberBox.top() + (kNumberBox.height() - metrics.height()) / 2 + metrics.ascent();
        const QRectF digits = metrics.tightBoundingRect(QStringLiteral("0123456789"));
        QRectF ink = metrics.tightBoundingRect(shape).united(QRectF(0, digits.top(), advance, digits.height()));
        ink.translate(left, baseline);
        ink.adjust(0, 0, kShadowOffset, kShadowOffset);
        return clock_rules::inside_circle(ink, clock_rules::kDialCentre, clock_rules::kDialFreeRadius);
    };
    const int pixels = clock_rules::largest_fitting_size(kSmallestPixels, kNumberPixels, fits);
    m_sizes.insert(shape, pixels);
    return pixels;
}

void Tfrm_djs::showNumber(const QString &text)
{
    QFont font = lab_djs->font();
    const int pixels = text.isEmpty() ? kNumberPixels : numberPixelSize(text);
    if (font.pixelSize() != pixels) {
        font.setPixelSize(pixels);
        lab_djs->setFont(font);
    }
    lab_djs->setText(text);
}

void Tfrm_djs::time_djsTimer()
{
    int displayed = 0;
    try {
        displayed = decimal_text::toInt(lab_djs->text());
    } catch (...) {
        time_djs->stop();
        throw;
    }
    const clock_rules::CountdownTick t = clock_rules::countdown_tick(displayed, m_threshold);
    if (t.stop) {
        time_djs->stop();
        return;
    }
    showNumber(QString::number(t.shown));
    if (t.tick)
        playSound(assets::kTickSound);
    if (t.time_up)
        playSound(assets::kTimeUpSound);
}

void Tfrm_djs::playSound(const QString &relative)
{
    // The count goes on whatever the player does; each failure is told once per countdown, after the
    // tick, so the box never holds up the number or the next sound.
    try {
        Media1->setFileName(context().paths.file(relative));
        Media1->open();
        Media1->play();
    } catch (const AppError &e) {
        const QString text = e.message();
        if (m_reportedSounds.contains(text))
            return;
        m_reportedSounds.insert(text);
        QMetaObject::invokeMethod(this, [this, text] { reportError(context().dialogs(), this, text); },
                                  Qt::QueuedConnection);
    }
}

bool Tfrm_djs::keyDown(int key, Qt::KeyboardModifiers, bool)
{
    // Every character key is swallowed: nothing typed reaches the list.
    return key == vk::Escape || isCharacterKey(key);
}

bool Tfrm_djs::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::Escape:
        time_djs->stop();
        closeScreen();
        return true;
    case vk::Semicolon:
        reset();
        return true;
    case vk::Quote:
        startStop();
        return true;
    default:
        return isCharacterKey(key);
    }
}

bool Tfrm_djs::eventFilter(QObject *watched, QEvent *event)
{
    // The open list would choose an item by a typed digit; Enter still takes the highlighted one.
    if (watched == combox_djs->view() && event->type() == QEvent::KeyPress) {
        const int key = virtualKey(*static_cast<QKeyEvent *>(event));
        if (key != vk::Return && isCharacterKey(key))
            return true;
    }
    return StageWindow::eventFilter(watched, event);
}
