#include "tmlrxt_matching.h"

#include "tmlrxt_pages.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAction>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QTextDocument>

#include <cmath>

namespace {

const int kLeftTops[5] = {249, 331, 411, 496, 576};
const int kRightTops[5] = {248, 330, 410, 495, 575};
const int kRightLefts[5] = {674, 675, 676, 677, 677};
const QPoint kLeftButtons[5] = {{376, 261}, {376, 342}, {377, 422}, {377, 505}, {377, 584}};
const QPoint kRightButtons[5] = {{615, 260}, {615, 342}, {616, 422}, {616, 507}, {616, 585}};

QPushButton *numberButton(QWidget *parent, const QString &name, int n, const QPoint &place, const QString &colour)
{
    auto *b = new QPushButton(QString::number(n), parent);
    b->setObjectName(name);
    b->setGeometry(QRect(place, QSize(31, 44)));
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFont(stageFont(QStringLiteral("Times New Roman"), 48, true));
    b->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; background: transparent; padding: 0; }").arg(colour));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

} // namespace

MatchingPage::MatchingPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("show_lianxianti"));
    for (int k = 0; k < 5; ++k)
        pair_slots << QString();
    // The drawing surface keeps the page's coordinates, so lines meet the buttons' centres.
    Image9 = new Picture(this, QStringLiteral("Image9"));
    Image9->setGeometry(0, 0, 1024, 768);
    Image9->setToolTip(QStringLiteral("清除题目连线，请按鼠标右键，点击清除连线即可！"));
    Image9->setContextMenuPolicy(Qt::ActionsContextMenu);
    N1 = new QAction(QStringLiteral("-----------------"), Image9);
    N1->setObjectName(QStringLiteral("N1"));
    N2 = new QAction(QStringLiteral("清除连线"), Image9);
    N2->setObjectName(QStringLiteral("N2"));
    N3 = new QAction(QStringLiteral("-----------------"), Image9);
    N3->setObjectName(QStringLiteral("N3"));
    Image9->addActions({N1, N2, N3});
    connect(N2, &QAction::triggered, this, &MatchingPage::clearConnections);
    reloadPicture();

    ed_lxttm = entryEditor(this, QStringLiteral("ed_lxttm"), QRect(75, 120, 874, 86));
    for (int k = 0; k < 5; ++k) {
        QPlainTextEdit *left = entryEditor(this, QStringLiteral("ed_lxtz%1").arg(k + 1), QRect(0, kLeftTops[k], 340, 58));
        QTextOption right(Qt::AlignRight);
        right.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        left->document()->setDefaultTextOption(right);
        leftItems << left;
        rightItems << entryEditor(this, QStringLiteral("ed_lxty%1").arg(k + 1), QRect(kRightLefts[k], kRightTops[k], 340, 59));
        leftNumbers << numberButton(this, QStringLiteral("but_z%1").arg(k + 1), k + 1, kLeftButtons[k], QStringLiteral("blue"));
        rightNumbers << numberButton(this, QStringLiteral("but_y%1").arg(k + 1), k + 1, kRightButtons[k], QStringLiteral("yellow"));
        connect(leftNumbers[k], &QPushButton::clicked, this, [this, k] { clickLeft(k + 1); });
        connect(rightNumbers[k], &QPushButton::clicked, this, [this, k] { clickRight(k + 1); });
    }
    const Preview q = makePreview(this, QStringLiteral("Panel_lxttmxg"), QStringLiteral("Lab_lxttmxg"),
                                  QStringLiteral("题目文字效果"), QRect(75, 660, 400, 60));
    Panel_lxttmxg = q.panel;
    Lab_lxttmxg = q.label;
    const Preview a = makePreview(this, QStringLiteral("Panel_lxtdaxg"), QStringLiteral("Lab_lxtdaxg"),
                                  QStringLiteral("答案文字效果"), QRect(549, 660, 400, 60));
    Panel_lxtdaxg = a.panel;
    Lab_lxtdaxg = a.label;
}

void MatchingPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    pending_left = 0;
}

void MatchingPage::reloadPicture()
{
    if (m_pictureFile.isEmpty() || !QFileInfo::exists(m_pictureFile) || !Image9->loadIfExists(m_pictureFile))
        Image9->setPixmap(builtInBackground(QStringLiteral("连线题维护界面"), QSize(1024, 768)));
    m_lines = 0;
}

void MatchingPage::clearConnections()
{
    reloadPicture();
    for (QString &slot : pair_slots)
        slot.clear();
}

QPoint MatchingPage::centre(const QWidget *button)
{
    // Halves round to the even neighbour.
    const QRect g = button->geometry();
    return {g.left() + int(std::nearbyint(g.width() / 2.0)), g.top() + int(std::nearbyint(g.height() / 2.0))};
}

void MatchingPage::clickLeft(int n)
{
    m_pen = centre(leftNumbers[n - 1]);
    pending_left = n;
}

void MatchingPage::lineTo(const QPoint &to)
{
    QPixmap pixmap = Image9->pixmap();
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 0, 0), 4));
        p.drawLine(m_pen, to);
    }
    Image9->setPixmap(pixmap);
    m_pen = to;
    ++m_lines;
}

void MatchingPage::clickRight(int m)
{
    if (pending_left == 0)
        return;
    lineTo(centre(rightNumbers[m - 1]));
    pair_slots[m - 1] = QString::number(pending_left) + QString::number(m);
    pending_left = 0;
}

void MatchingPage::restoreConnections(const QStringList &codes)
{
    for (int k = 0; k < 5; ++k) {
        const QString code = codes.value(k).trimmed();
        pair_slots[k] = code;
        if (code.isEmpty())
            continue;
        const int left = QStringLiteral("12345").indexOf(code.at(0));
        if (left >= 0)
            m_pen = centre(leftNumbers[left]);
        const int right = code.size() > 1 ? QStringLiteral("12345").indexOf(code.at(1)) : -1;
        if (right >= 0)
            lineTo(centre(rightNumbers[right]));
    }
}

QString MatchingPage::connections() const
{
    QString all;
    for (const QString &slot : pair_slots)
        all += slot.trimmed();
    return all;
}
