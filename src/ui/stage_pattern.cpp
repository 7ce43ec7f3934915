#include "stage_pattern.h"

#include "shadow_label.h"
#include "stage_display.h"
#include "stage_geometry.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace {
const QString kHint = QStringLiteral("红框应完整可见，圆应是正圆。按 Esc 返回");
} // namespace

QString StagePattern::displayText() const
{
    const QScreen *screen = m_stage.screen();
    const QString where = screen ? StageDisplay::describe(screen) : QString();
    return QStringLiteral("显示器：%1    舞台缩放 %2 倍").arg(where).arg(m_stage.scale(), 0, 'f', 2);
}

StagePattern::StagePattern(StageDisplay &stage)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_stage(stage)
{
    setObjectName(QStringLiteral("stage_pattern"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::ApplicationModal); // above a modal screen, and takes the keys
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("投影测试画面"));
}

void StagePattern::showOnStage()
{
    // What the pattern says, for screen readers and other tools that read the widget tree.
    setAccessibleDescription(QStringLiteral("%1。%2").arg(displayText(), kHint));
    setGeometry(m_stage.stageRect());
    show();
    raise();
    activateWindow();
    setFocus();
}

void StagePattern::paintEvent(QPaintEvent *)
{
    using namespace stage_geometry;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(24, 24, 24));
    // The grid: 64-pixel cells of the stage, every fourth line brighter.
    for (int x = 0; x <= kWidth; x += 64) {
        p.setPen(QPen(x % 256 == 0 ? QColor(150, 150, 150) : QColor(80, 80, 80), 1));
        p.drawLine(QPointF(x, 0), QPointF(x, kHeight));
    }
    for (int y = 0; y <= kHeight; y += 64) {
        p.setPen(QPen(y % 256 == 0 ? QColor(150, 150, 150) : QColor(80, 80, 80), 1));
        p.drawLine(QPointF(0, y), QPointF(kWidth, y));
    }
    // The colour bar.
    const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue, Qt::black};
    const int barWidth = kWidth / 8;
    for (int i = 0; i < 8; ++i)
        p.fillRect(QRect(i * barWidth, 576, barWidth, 128), bars[i]);
    // The centre and the stage's outline.
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(kWidth / 2.0 - 40, kHeight / 2.0), QPointF(kWidth / 2.0 + 40, kHeight / 2.0));
    p.drawLine(QPointF(kWidth / 2.0, kHeight / 2.0 - 40), QPointF(kWidth / 2.0, kHeight / 2.0 + 40));
    p.drawEllipse(QPointF(kWidth / 2.0, kHeight / 2.0), 24, 24);
    p.setPen(QPen(Qt::red, 4));
    p.drawRect(QRectF(2, 2, kWidth - 4, kHeight - 4));
    // What the organiser checks.
    p.setPen(Qt::white);
    p.setFont(stageFont(QStringLiteral("黑体"), 36, true));
    p.drawText(QRect(0, 96, kWidth, 60), Qt::AlignCenter, QStringLiteral("投影测试画面"));
    p.setFont(stageFont(QStringLiteral("黑体"), 24));
    p.drawText(QRect(0, 170, kWidth, 40), Qt::AlignCenter, displayText());
    p.drawText(QRect(0, 440, kWidth, 40), Qt::AlignCenter, kHint);
}

void StagePattern::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    event->accept();
}

void StagePattern::mousePressEvent(QMouseEvent *)
{
    close();
}

void StagePattern::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit finished();
}
