#include "tfrm_debug.h"

#include "projector_page.h"

#include "ui/key_codes.h"
#include "ui/shadow_label.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr int kLampWidth = 78;
constexpr int kLampHeight = 72;
// Keypad lamps: three rows of four.
constexpr int kRowTops[3] = {76, 235, 388};
constexpr int kFirstRowLefts[4] = {156, 332, 516, 684};
constexpr int kOtherRowLefts[4] = {160, 336, 520, 688};

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

void Indicator::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    setAccessibleDescription(colour == Tfrm_debug::kGreen ? QStringLiteral("绿") : QStringLiteral("红"));
    update();
}

void Indicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_colour);
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

Tfrm_debug::Tfrm_debug(AppContext &context) : StageWindow(context, QStringLiteral("frm_debug"))
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

void Tfrm_debug::onShow()
{
    for (QLineEdit *e : {ed_jph, ed_gjtime, ed_jzh, ed_jzxdh, ed_kaishi, ed_jieshu})
        e->clear();
    PageControl1->setCurrentWidget(tab1);
    tab3->refresh();
    for (Indicator *lamp : qd)
        lamp->setColour(kRed);
}

void Tfrm_debug::startScan()
{
    for (Indicator *lamp : qd)
        lamp->setColour(kRed);
    sm_bs->setColour(kGreen);
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
    return key == vk::Escape; // acted on when pressed
}
