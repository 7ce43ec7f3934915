#include "tfrm_debug.h"

#include "phone_seats.h"
#include "projector_page.h"
#include "seat_qr.h"

#include "settings/settings_keys.h"
#include "ui/dialogs.h"
#include "ui/judge_link.h"
#include "ui/key_codes.h"
#include "ui/shadow_label.h"

#include <algorithm>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>

namespace {

constexpr int kLampWidth = 78;
constexpr int kLampHeight = 72;
// Keypad lamps: three rows of four.
constexpr int kRowTops[3] = {76, 235, 388};
constexpr int kFirstRowLefts[4] = {156, 332, 516, 684};
constexpr int kOtherRowLefts[4] = {160, 336, 520, 688};
// The chosen seat's pairing, right of the lamps.
const QRect kSeatPanel(782, 40, 234, 600);
const QColor kChosenRing(0, 40, 160);

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &place)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &place)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

} // namespace

Indicator::Indicator(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);
    setAccessibleDescription(QStringLiteral("红"));
}

void Indicator::setColour(const QColor &colour, const QString &description)
{
    setAccessibleDescription(!description.isEmpty()         ? description
                             : colour == Tfrm_debug::kGreen ? QStringLiteral("绿")
                                                            : QStringLiteral("红"));
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void Indicator::setChosen(bool chosen)
{
    if (chosen == m_chosen)
        return;
    m_chosen = chosen;
    update();
}

void Indicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_chosen) {
        p.setPen(QPen(kChosenRing, 5));
        p.setBrush(m_colour);
        p.drawEllipse(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
        return;
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_colour);
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void Indicator::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

Tfrm_debug::Tfrm_debug(AppContext &context)
    : StageWindow(context, QStringLiteral("frm_debug")), m_link(context.services.judges)
{
    setWindowTitle(QStringLiteral("设备调试"));
}

void Tfrm_debug::makeWidgets()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, kStageWidth, kStageHeight);
    PageControl1->setFont(stageFont(QStringLiteral("宋体"), 14));

    tab1 = new QWidget;
    tab1->setObjectName(QStringLiteral("tab1"));
    tab2 = new QWidget;
    tab2->setObjectName(QStringLiteral("tab2"));
    PageControl1->addTab(tab1, QStringLiteral("评分键盘测试"));
    PageControl1->addTab(tab2, QStringLiteral("评分键盘参数设置"));

    buildTestPage();
    buildSettingsPage();
    tab3 = new ProjectorPage(context(), nullptr);
    PageControl1->addTab(tab3, QStringLiteral("投影输出"));
    if (!m_link)
        return;
    buildPhonesPage();
    buildSeatPanel();
    for (int i = 0; i < kKeypads; ++i)
        connect(qd[i], &Indicator::clicked, this, [this, i] {
            guard([this, i] {
                if (phonesOn())
                    chooseSeat(i + 1);
            });
        });
    connect(m_link, &judging::JudgeLink::runningChanged, this, [this] { guard([this] { showLink(); }); });
    connect(m_link, &judging::JudgeLink::seatsChanged, this, [this] {
        guard([this] {
            if (phonesOn() && !m_resetting)
                showSeats();
        });
    });
    // Asked once the link's own handler has returned, and only while the operator is on this screen.
    connect(m_link, &judging::JudgeLink::secondDeviceAsks, this,
            [this](int seat) {
                guard([this, seat] {
                    if (isVisible())
                        askSecondDevice(seat);
                });
            },
            Qt::QueuedConnection);
}

void Tfrm_debug::buildTestPage()
{
    const QFont number = stageFont(QStringLiteral("Times New Roman"), 56, true);
    const QFont caption = stageFont(QStringLiteral("宋体"), 16);
    for (int i = 0; i < kKeypads; ++i) {
        const int row = i / 4;
        const int left = (row == 0 ? kFirstRowLefts : kOtherRowLefts)[i % 4];
        const QRect place(left, kRowTops[row], kLampWidth, kLampHeight);
        qd[i] = new Indicator(tab1, QStringLiteral("qd_%1").arg(i + 1));
        qd[i]->setGeometry(place);
        lab_qd[i] = label(tab1, QStringLiteral("lab_qd%1").arg(i + 1), QString::number(i + 1), place);
        lab_qd[i]->setFont(number);
        lab_qd[i]->setAlignment(Qt::AlignCenter);
        lab_qd[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        RxLabel[i] = label(tab1, QStringLiteral("RxLabel%1").arg(i + 1), QStringLiteral("键盘%1").arg(i + 1),
                           QRect(left - 11, place.bottom() + 8, kLampWidth + 22, 24));
        RxLabel[i]->setFont(caption);
        RxLabel[i]->setAlignment(Qt::AlignCenter);
    }

    sm_bs = new Indicator(tab1, QStringLiteral("sm_bs"));
    sm_bs->setGeometry(16, 659, 19, 23);
    Label12 = label(tab1, QStringLiteral("Label12"), QStringLiteral("通讯未连接"), QRect(48, 664, 160, 20));
    Label12->setFont(caption);

    Button1 = button(tab1, QStringLiteral("Button1"), QStringLiteral("开始扫描"), QRect(376, 616, 82, 29));
    Button2 = button(tab1, QStringLiteral("Button2"), QStringLiteral("停止扫描"), QRect(488, 616, 82, 29));
    connect(Button1, &QPushButton::clicked, this, [this] { guard([this] { startScan(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guard([this] { stopScan(); }); });
}

void Tfrm_debug::buildSettingsPage()
{
    struct Box {
        QLineEdit *Tfrm_debug::*member;
        const char16_t *name;
        const char16_t *caption;
        const char16_t *unit;
    };
    struct Group {
        const char16_t *title;
        const char16_t *explanation;
        QList<Box> boxes;
        QList<const char16_t *> buttons;
    };
    const QList<Group> groups = {
        {u"评分键盘参数配置",
         u"读取或写入一个评分键盘的键盘号和无操作自动关机时间。写入前请先把键盘置于设置状态。",
         {{&Tfrm_debug::ed_jph, u"ed_jph", u"键盘号：", nullptr},
          {&Tfrm_debug::ed_gjtime, u"ed_gjtime", u"关机时间：", u"分钟"}},
         {u"读键盘配置", u"写键盘配置"}},
        {u"基站参数配置",
         u"读取或写入无线基站的基站号和通信频率。评分键盘须与基站使用相同的频率才能通讯。",
         {{&Tfrm_debug::ed_jzh, u"ed_jzh", u"无线基站号：", nullptr},
          {&Tfrm_debug::ed_jzxdh, u"ed_jzxdh", u"基站通信频率：", nullptr}},
         {u"读基站配置", u"写基站配置"}},
        {u"评分键盘扫描范围参数配置",
         u"基站只扫描起始编号到结束编号之间的评分键盘，范围越小，扫描越快。",
         {{&Tfrm_debug::ed_kaishi, u"ed_kaishi", u"键盘起始编号：", nullptr},
          {&Tfrm_debug::ed_jieshu, u"ed_jieshu", u"键盘结束编号：", nullptr}},
         {u"读键盘范围", u"写键盘范围"}},
        {u"说明：", u"比赛结束后，可通过基站遥控关闭扫描范围内的全部评分键盘，以节省电池。", {}, {u"遥控关闭键盘"}},
    };

    const QFont text = stageFont(QStringLiteral("宋体"), 14);
    int top = 16;
    int buttonNumber = 3;
    for (const Group &g : groups) {
        auto *group = new QGroupBox(QString::fromUtf16(g.title), tab2);
        group->setGeometry(16, top, 984, 160);
        group->setFont(text);
        auto *explanation = new QLabel(QString::fromUtf16(g.explanation), group);
        explanation->setGeometry(16, 28, 952, 40);
        explanation->setWordWrap(true);
        int left = 16;
        for (const Box &b : g.boxes) {
            label(group, {}, QString::fromUtf16(b.caption), QRect(left, 84, 120, 24))
                ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QLineEdit *edit = new QLineEdit(group);
            edit->setObjectName(QString::fromUtf16(b.name));
            edit->setGeometry(left + 124, 84, 100, 24);
            this->*b.member = edit;
            if (b.unit)
                label(group, {}, QString::fromUtf16(b.unit), QRect(left + 230, 84, 48, 24));
            left += 320;
        }
        int buttonLeft = 16;
        for (const char16_t *caption : g.buttons) {
            // The page is a mock-up of the keypads' settings: its buttons act on nothing.
            button(group, QStringLiteral("Button%1").arg(buttonNumber++), QString::fromUtf16(caption),
                   QRect(buttonLeft, 120, 120, 28));
            buttonLeft += 136;
        }
        top += 176;
    }
}

void Tfrm_debug::buildPhonesPage()
{
    tab_phones = new QWidget;
    tab_phones->setObjectName(QStringLiteral("tab_phones"));
    PageControl1->addTab(tab_phones, QStringLiteral("手机评分"));
    const QFont text = stageFont(QStringLiteral("宋体"), 16);

    auto *service = new QGroupBox(QStringLiteral("手机评分服务"), tab_phones);
    service->setGeometry(16, 16, 984, 300);
    service->setFont(text);
    auto *explanation = label(service, {},
                              QStringLiteral("评委可用自己的手机评分。开启后，在“评分键盘测试”页点选座位（或按F1至F12），"
                                             "请该评委用手机扫描二维码，或在手机浏览器打开所示地址并输入配对码。"
                                             "请使用比赛专用的网络，不要让观众的手机连入同一网络。"),
                              QRect(16, 30, 952, 72));
    explanation->setWordWrap(true);
    label(service, {}, QStringLiteral("监听地址："), QRect(16, 116, 120, 30))->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cb_address = new QComboBox(service);
    cb_address->setObjectName(QStringLiteral("cb_address"));
    cb_address->setGeometry(140, 116, 240, 30);
    cb_address->setAccessibleName(QStringLiteral("监听地址"));
    btn_refresh = button(service, QStringLiteral("btn_refresh"), QStringLiteral("刷新地址"), QRect(392, 116, 110, 30));
    label(service, {}, QStringLiteral("端口："), QRect(16, 158, 120, 30))->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ed_port = new QSpinBox(service);
    ed_port->setObjectName(QStringLiteral("ed_port"));
    ed_port->setGeometry(140, 158, 120, 30);
    ed_port->setRange(1, 65535);
    ed_port->setAccessibleName(QStringLiteral("端口"));
    btn_start = button(service, QStringLiteral("btn_start"), QStringLiteral("开启"), QRect(140, 204, 110, 34));
    btn_stop = button(service, QStringLiteral("btn_stop"), QStringLiteral("关闭"), QRect(264, 204, 110, 34));
    lab_phones = label(service, QStringLiteral("lab_phones"), {}, QRect(16, 252, 952, 30));

    auto *tokens = new QGroupBox(QStringLiteral("更换令牌"), tab_phones);
    tokens->setGeometry(16, 332, 984, 150);
    tokens->setFont(text);
    label(tokens, {},
          QStringLiteral("新的比赛开始前，请全部更换令牌：以前配对过的手机全部失效，每位评委须重新扫码配对。"),
          QRect(16, 30, 952, 48))
        ->setWordWrap(true);
    btn_renew = button(tokens, QStringLiteral("btn_renew"), QStringLiteral("全部更换令牌"), QRect(16, 92, 160, 34));

    connect(btn_refresh, &QPushButton::clicked, this, [this] { guard([this] { fillAddresses(); }); });
    connect(btn_start, &QPushButton::clicked, this, [this] { guard([this] { startPhones(); }); });
    connect(btn_stop, &QPushButton::clicked, this, [this] { guard([this] { stopPhones(); }); });
    connect(btn_renew, &QPushButton::clicked, this, [this] { guard([this] { renewTokens(); }); });
}

void Tfrm_debug::buildSeatPanel()
{
    const QFont caption = stageFont(QStringLiteral("宋体"), 16);
    for (int i = 0; i < kKeypads; ++i) {
        const QRect under = RxLabel[i]->geometry();
        lab_seat[i] = label(tab1, QStringLiteral("lab_seat%1").arg(i + 1), {}, under.translated(0, under.height() + 2));
        lab_seat[i]->setFont(caption);
        lab_seat[i]->setAlignment(Qt::AlignCenter);
        lab_seat[i]->hide();
    }

    panel_seat = new QFrame(tab1);
    panel_seat->setObjectName(QStringLiteral("panel_seat"));
    panel_seat->setGeometry(kSeatPanel);
    panel_seat->setFrameStyle(QFrame::Box | QFrame::Plain);
    const int w = kSeatPanel.width();
    lab_seat_title = label(panel_seat, QStringLiteral("lab_seat_title"), {}, QRect(4, 6, w - 8, 30));
    lab_seat_title->setFont(stageFont(QStringLiteral("黑体"), 22, true));
    lab_seat_title->setAlignment(Qt::AlignCenter);
    qr_seat = new SeatQr(panel_seat, QStringLiteral("qr_seat"));
    qr_seat->setGeometry(3, 40, w - 6, w - 6);
    lab_code_caption = label(panel_seat, QStringLiteral("lab_code_caption"), QStringLiteral("配对码"), QRect(4, w + 40, w - 8, 22));
    lab_code_caption->setFont(caption);
    lab_code_caption->setAlignment(Qt::AlignCenter);
    lab_code = label(panel_seat, QStringLiteral("lab_code"), {}, QRect(4, w + 62, w - 8, 48));
    lab_code->setFont(stageFont(QStringLiteral("Times New Roman"), 44, true));
    lab_code->setAlignment(Qt::AlignCenter);
    lab_code_expiry = label(panel_seat, QStringLiteral("lab_code_expiry"), {}, QRect(4, w + 112, w - 8, 22));
    lab_code_expiry->setFont(caption);
    lab_code_expiry->setAlignment(Qt::AlignCenter);
    lab_join_hint = label(panel_seat, QStringLiteral("lab_join_hint"), {}, QRect(4, w + 136, w - 8, 84));
    lab_join_hint->setFont(stageFont(QStringLiteral("宋体"), 14));
    lab_join_hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lab_join_hint->setWordWrap(true);
    btn_new_code = button(panel_seat, QStringLiteral("btn_new_code"), QStringLiteral("新配对码"), QRect(8, w + 224, 104, 30));
    btn_reset = button(panel_seat, QStringLiteral("btn_reset"), QStringLiteral("重置座位"), QRect(w - 112, w + 224, 104, 30));
    btn_hide_qr = button(panel_seat, QStringLiteral("btn_hide_qr"), QStringLiteral("隐藏二维码"), QRect(8, w + 262, w - 16, 30));
    btn_big_qr = button(panel_seat, QStringLiteral("btn_big_qr"), QStringLiteral("放大二维码"), QRect(8, w + 300, w - 16, 30));
    panel_seat->hide();

    panel_qr_big = new QFrame(tab1);
    panel_qr_big->setObjectName(QStringLiteral("panel_qr_big"));
    panel_qr_big->setGeometry(120, 8, 650, 690);
    panel_qr_big->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel_qr_big->setAutoFillBackground(true);
    QPalette white = panel_qr_big->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel_qr_big->setPalette(white);
    lab_qr_big = label(panel_qr_big, QStringLiteral("lab_qr_big"), {}, QRect(10, 8, 630, 40));
    lab_qr_big->setFont(stageFont(QStringLiteral("黑体"), 30, true));
    lab_qr_big->setAlignment(Qt::AlignCenter);
    qr_big = new SeatQr(panel_qr_big, QStringLiteral("qr_big"));
    qr_big->setGeometry(25, 52, 600, 580);
    btn_close_big = button(panel_qr_big, QStringLiteral("btn_close_big"), QStringLiteral("关闭放大"), QRect(265, 640, 120, 34));
    panel_qr_big->hide();

    connect(btn_big_qr, &QPushButton::clicked, this, [this] { guard([this] { showBigQr(true); }); });
    connect(btn_close_big, &QPushButton::clicked, this, [this] { guard([this] { showBigQr(false); }); });
    connect(btn_new_code, &QPushButton::clicked, this, [this] { guard([this] { newCodeForChosenSeat(); }); });
    connect(btn_reset, &QPushButton::clicked, this, [this] { guard([this] { resetChosenSeat(); }); });
    connect(btn_hide_qr, &QPushButton::clicked, this, [this] { guard([this] { chooseSeat(0); }); });
}

void Tfrm_debug::onShow()
{
    for (QLineEdit *e : {ed_jph, ed_gjtime, ed_jzh, ed_jzxdh, ed_kaishi, ed_jieshu})
        e->clear();
    PageControl1->setCurrentWidget(tab1);
    tab3->refresh();
    for (Indicator *lamp : qd)
        lamp->setColour(kRed);
    if (!m_link)
        return;
    m_chosenSeat = 0;
    readJudgeNames();
    // While the link runs, the page keeps showing the address and port it runs on.
    if (!m_link->isRunning()) {
        fillAddresses();
        ed_port->setValue(phone_seats::configuredPort(context().settings.read(keys::kPhones, keys::kPhonesPort)));
    }
    showLink();
    // Devices that asked for a seat while the operator was elsewhere are asked about now.
    QMetaObject::invokeMethod(this, [this] { guard([this] { askWaitingSeats(); }); }, Qt::QueuedConnection);
}

void Tfrm_debug::fillAddresses()
{
    const QString wanted = cb_address->count() > 0 ? cb_address->currentText()
                                                   : context().settings.config().read(keys::kPhones, keys::kPhonesAddress, {});
    cb_address->clear();
    cb_address->addItems(phone_seats::hallAddresses());
    const int at = cb_address->findText(wanted);
    cb_address->setCurrentIndex(at >= 0 ? at : 0);
}

bool Tfrm_debug::phonesOn() const
{
    return m_link && m_link->isRunning();
}

void Tfrm_debug::startPhones()
{
    if (phonesOn())
        return;
    const QString address = cb_address->currentText().trimmed();
    if (address.isEmpty()) {
        context().dialogs().error(this, QStringLiteral("本机没有可用的网络地址，手机评分无法开启。请先连接比赛专用的网络，再点“刷新地址”。"));
        return;
    }
    const quint16 port = quint16(ed_port->value());
    QString error;
    if (!m_link->start(address, port, &error)) {
        context().dialogs().error(this, QStringLiteral("手机评分无法在 %1 端口 %2 上开启：%3")
                                            .arg(address)
                                            .arg(port)
                                            .arg(error.isEmpty() ? QStringLiteral("原因不明") : error));
        showLink();
        return;
    }
    context().settings.writeAll({{keys::kPhones, keys::kPhonesAddress, address},
                                 {keys::kPhones, keys::kPhonesPort, QString::number(port)}});
    showLink();
}

void Tfrm_debug::stopPhones()
{
    if (m_link && m_link->isRunning())
        m_link->stop();
    showLink();
}

void Tfrm_debug::renewTokens()
{
    if (!context().dialogs().confirm(this, QStringLiteral("全部更换令牌后，以前配对的手机全部失效，每位评委须重新扫码配对。\n确定要全部更换吗？")))
        return;
    m_link->renewTokens();
    // The code on show belonged to the old tokens.
    chooseSeat(0);
    if (phonesOn())
        showSeats();
}

void Tfrm_debug::showLink()
{
    if (!m_link)
        return;
    const bool on = m_link->isRunning();
    btn_start->setEnabled(!on);
    btn_stop->setEnabled(on);
    cb_address->setEnabled(!on);
    ed_port->setEnabled(!on);
    btn_refresh->setEnabled(!on);
    lab_phones->setText(on ? QStringLiteral("手机评分已开启：%1 端口 %2").arg(cb_address->currentText()).arg(ed_port->value())
                           : QStringLiteral("手机评分已关闭"));
    lab_phones->setStyleSheet(on ? QStringLiteral("color: rgb(0, 120, 0); font-weight: bold;") : QString());
    if (on) {
        showSeats();
        return;
    }
    // Off: the lamps are the keypads' again, red as at opening.
    m_chosenSeat = 0;
    panel_seat->hide();
    qr_seat->clear();
    showBigQr(false);
    for (int i = 0; i < kKeypads; ++i) {
        qd[i]->setColour(kRed);
        qd[i]->setChosen(false);
        qd[i]->setCursor(Qt::ArrowCursor);
        lab_qd[i]->setStyleSheet({});
        RxLabel[i]->setText(QStringLiteral("键盘%1").arg(i + 1));
        lab_seat[i]->hide();
    }
}

QString Tfrm_debug::judgeName(int seat) const
{
    return m_judgeNames.value(seat - 1);
}

void Tfrm_debug::readJudgeNames()
{
    const IniFile config = context().settings.config();
    m_judgeNames.clear();
    for (int seat = 1; seat <= kKeypads; ++seat)
        m_judgeNames << config.read(keys::kJudges, keys::judgeName(seat), {}).trimmed();
    bool ok = false;
    const int count = config.read(keys::kJudges, keys::kJudgeCount, {}).trimmed().toInt(&ok);
    m_judgeCount = ok && count >= 1 ? std::min(count, int(kKeypads)) : int(kKeypads);
}

void Tfrm_debug::showSeats()
{
    for (int i = 0; i < kKeypads; ++i) {
        if (i >= m_judgeCount) { // no judge sits there in this contest: nothing to pair
            qd[i]->setColour(kRed, QStringLiteral("%1号座位：本场无此评委").arg(i + 1));
            qd[i]->setChosen(false);
            qd[i]->setCursor(Qt::ArrowCursor);
            lab_qd[i]->setStyleSheet({});
            RxLabel[i]->setText(QStringLiteral("键盘%1").arg(i + 1));
            lab_seat[i]->hide();
            continue;
        }
        const judging::SeatInfo info = m_link->seat(i + 1);
        const phone_seats::SeatLook look = phone_seats::seatLook(info.state);
        const QString name = judgeName(i + 1);
        const QString state = info.secondDeviceWaiting ? look.state + QStringLiteral("·待确认") : look.state;
        qd[i]->setColour(look.colour, QStringLiteral("%1号座位：%2").arg(i + 1).arg(state));
        qd[i]->setChosen(i + 1 == m_chosenSeat);
        qd[i]->setCursor(Qt::PointingHandCursor);
        lab_qd[i]->setStyleSheet(look.lightNumber ? QStringLiteral("color: white;") : QString());
        RxLabel[i]->setText(name.isEmpty() ? QStringLiteral("%1号").arg(i + 1) : QStringLiteral("%1号 %2").arg(i + 1).arg(name));
        lab_seat[i]->setText(state);
        lab_seat[i]->show();
    }
    showChosenSeat();
}

void Tfrm_debug::chooseSeat(int seat)
{
    if (seat < 0 || seat > m_judgeCount || (seat > 0 && !phonesOn()))
        return;
    m_chosenSeat = seat;
    // Choosing a seat again gives it a fresh code.
    m_codeSeat = 0;
    qr_seat->clear();
    qr_big->clear(); // made anew if it is up
    if (phonesOn())
        showSeats();
    else
        panel_seat->hide();
}

void Tfrm_debug::newCodeForChosenSeat()
{
    if (m_chosenSeat == 0 || !phonesOn())
        return;
    lab_code->setText(m_link->newCode(m_chosenSeat));
    m_codeSeat = m_chosenSeat;
    const QDateTime until = context().services.clock->now().addSecs(m_link->codeLifetimeSeconds());
    lab_code_expiry->setText(QStringLiteral("有效至 %1，只能用一次").arg(until.toString(QStringLiteral("HH:mm:ss"))));
}

void Tfrm_debug::showBigQr(bool shown)
{
    if (!shown || m_chosenSeat == 0 || qr_seat->isEmpty()) {
        panel_qr_big->hide();
        qr_big->clear();
        return;
    }
    qr_big->setCode(m_chosenSeat, m_link->joinUrl(m_chosenSeat));
    lab_qr_big->setText(lab_seat_title->text());
    panel_qr_big->show();
    panel_qr_big->raise();
}

void Tfrm_debug::showChosenSeat()
{
    const int seat = m_chosenSeat;
    for (int i = 0; i < kKeypads; ++i)
        qd[i]->setChosen(i + 1 == seat);
    if (seat == 0) {
        panel_seat->hide();
        showBigQr(false);
        return;
    }
    const judging::SeatInfo info = m_link->seat(seat);
    const QString name = judgeName(seat);
    lab_seat_title->setText(name.isEmpty() ? QStringLiteral("%1号座位").arg(seat) : QStringLiteral("%1号座位 %2").arg(seat).arg(name));
    // A connected or locked seat shows no code: nobody else in the hall should scan it meanwhile.
    const bool pairable = info.state == judging::SeatState::Unpaired || info.state == judging::SeatState::Stale;
    if (info.state == judging::SeatState::Connected && m_codeSeat == seat) {
        // A pairing spends the seat's code and token: what was on show no longer works.
        m_codeSeat = 0;
        lab_code->clear();
        lab_code_expiry->clear();
    }
    if (pairable) {
        const QString url = m_link->joinUrl(seat);
        if (qr_seat->seat() != seat || qr_seat->text() != url)
            qr_seat->setCode(seat, url);
        if (m_codeSeat != seat)
            newCodeForChosenSeat();
    }
    for (QWidget *w : std::initializer_list<QWidget *>{qr_seat, lab_code_caption, lab_code, lab_code_expiry, btn_new_code, btn_big_qr})
        w->setVisible(pairable);
    if (!pairable || qr_big->seat() != seat || qr_big->text() != qr_seat->text() || panel_qr_big->isHidden())
        showBigQr(pairable && !panel_qr_big->isHidden());
    switch (info.state) {
    case judging::SeatState::Connected:
        lab_join_hint->setText(QStringLiteral("手机已连接%1。\n换手机时请先点“重置座位”，再让新手机扫码。")
                                   .arg(info.device.isEmpty() ? QString() : QStringLiteral("（%1）").arg(info.device)));
        break;
    case judging::SeatState::Locked:
        lab_join_hint->setText(QStringLiteral("配对码错误次数过多，座位已锁定。\n请点“重置座位”后重新配对。"));
        break;
    case judging::SeatState::Stale:
    case judging::SeatState::Unpaired: {
        // The page for the code sits at the address's root; the token itself is never shown as text.
        const QUrl join(m_link->joinUrl(seat));
        const QString root =
            join.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
        lab_join_hint->setText(QStringLiteral("请评委用手机扫码；\n或用手机浏览器打开\n%1\n再输入配对码").arg(root));
        break;
    }
    }
    panel_seat->show();
}

void Tfrm_debug::resetChosenSeat()
{
    const int seat = m_chosenSeat;
    if (seat == 0 || !phonesOn())
        return;
    const judging::SeatState state = m_link->seat(seat).state;
    const bool inUse = state == judging::SeatState::Connected || state == judging::SeatState::Stale;
    if (inUse && !context().dialogs().confirm(this, QStringLiteral("%1号座位的手机将断开，须重新配对。\n确定要重置吗？").arg(seat)))
        return;
    m_resetting = true;
    m_link->resetSeat(seat);
    m_resetting = false;
    // A reset makes a new token: the seat's QR code and pairing code are made anew.
    chooseSeat(seat);
}

void Tfrm_debug::askSecondDevice(int seat)
{
    if (m_asking || !phonesOn() || seat < 1 || seat > kKeypads || !m_link->seat(seat).secondDeviceWaiting)
        return;
    m_asking = true;
    const QString name = judgeName(seat);
    const bool accept = context().dialogs().confirm(
        this, QStringLiteral("另一台手机请求接入%1号座位%2。\n允许后由这台新手机评分，原来的手机断开。\n是否允许？")
                  .arg(seat)
                  .arg(name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(name)));
    m_asking = false;
    m_link->answerSecondDevice(seat, accept);
    if (phonesOn())
        showSeats();
    askWaitingSeats();
}

void Tfrm_debug::askWaitingSeats()
{
    if (!phonesOn() || !isVisible())
        return;
    for (int seat = 1; seat <= kKeypads && !m_asking; ++seat)
        if (m_link->seat(seat).secondDeviceWaiting)
            askSecondDevice(seat);
}

void Tfrm_debug::startScan()
{
    sm_bs->setColour(kGreen);
    if (phonesOn()) {
        showSeats(); // the lamps are the seats while the phones' link is on
        return;
    }
    for (Indicator *lamp : qd)
        lamp->setColour(kRed);
}

void Tfrm_debug::stopScan()
{
    sm_bs->setColour(kRed);
}

bool Tfrm_debug::keyDown(int key, Qt::KeyboardModifiers, bool)
{
    if (key != vk::Escape)
        return false;
    closeScreen();
    return true;
}

bool Tfrm_debug::keyUp(int key, Qt::KeyboardModifiers)
{
    if (key == vk::Escape)
        return true; // acted on when pressed
    // F1 .. F12 choose seats 1 .. 12 on the lamps' page while the phones' link is on.
    if (key >= vk::F1 && key <= vk::F12 && phonesOn() && PageControl1->currentWidget() == tab1) {
        chooseSeat(key - vk::F1 + 1);
        return true;
    }
    return false;
}
