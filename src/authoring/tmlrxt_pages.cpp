#include "tmlrxt_pages.h"

#include "question_bank.h"
#include "ui/click_area.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace entry_style {

namespace {
const char *const kColourRef = "colourRef";
const char *const kShadowRef = "shadowRef";
const char *const kGround = "ground";

// Shows a widget's ground so that its text reads on it: light text on a pale editor would vanish while
// the operator types. The ground the screen set stays what `background` reports.
void showGround(QWidget *widget)
{
    const QColor ground = widget->property(kGround).value<QColor>();
    if (!ground.isValid())
        return;
    QColor shown = ground;
    if (const auto *editor = qobject_cast<const QPlainTextEdit *>(widget))
        shown = question_bank::readableGround(ground, editor->palette().color(QPalette::Text));
    else if (const auto *sample = widget->findChild<const ShadowLabel *>(QString(), Qt::FindDirectChildrenOnly))
        shown = question_bank::readableGround(ground, sample->textColour());
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, shown);
    p.setColor(QPalette::Window, shown);
    widget->setPalette(p);
}
} // namespace

TextStyle styleOf(const QPlainTextEdit *editor)
{
    TextStyle s;
    s.family = editor->font().family();
    s.size = editor->font().pointSize();
    s.colour = editor->property(kColourRef).toInt();
    return s;
}

void setFamily(QPlainTextEdit *editor, const QString &family)
{
    QFont f = editor->font();
    f.setFamily(family);
    editor->setFont(f);
}

void setSize(QPlainTextEdit *editor, int points)
{
    QFont f = editor->font();
    f.setPointSize(points);
    editor->setFont(f);
}

void setColour(QPlainTextEdit *editor, int ref)
{
    editor->setProperty(kColourRef, ref);
    QPalette p = editor->palette();
    p.setColor(QPalette::Text, question_bank::colourOf(ref));
    editor->setPalette(p);
    showGround(editor);
}

void apply(QPlainTextEdit *editor, const TextStyle &style)
{
    setFamily(editor, style.family);
    setSize(editor, style.size);
    setColour(editor, style.colour);
}

void setBackground(QWidget *widget, const QColor &colour)
{
    widget->setProperty(kGround, colour);
    showGround(widget);
}

QColor background(const QWidget *widget)
{
    const QColor ground = widget->property(kGround).value<QColor>();
    return ground.isValid() ? ground : widget->palette().color(QPalette::Base);
}

QColor shownBackground(const QWidget *widget)
{
    return widget->palette().color(QPalette::Base);
}

void setPreviewColour(ShadowLabel *label, int ref)
{
    label->setProperty(kColourRef, ref);
    label->setTextColour(question_bank::colourOf(ref));
    if (QWidget *panel = label->parentWidget())
        showGround(panel);
}

void setPreviewShadow(ShadowLabel *label, int ref)
{
    label->setProperty(kShadowRef, ref);
    label->setShadow(question_bank::colourOf(ref), 3, 3);
}

int previewShadow(const ShadowLabel *label)
{
    return label->property(kShadowRef).toInt();
}

int previewColour(const ShadowLabel *label)
{
    return label->property(kColourRef).toInt();
}

void setPreviewFamily(ShadowLabel *label, const QString &family)
{
    QFont f = label->font();
    f.setFamily(family);
    label->setFont(f);
}

} // namespace entry_style

QPlainTextEdit *entryEditor(QWidget *parent, const QString &name, const QRect &rect)
{
    auto *e = new QPlainTextEdit(parent);
    e->setObjectName(name);
    e->setGeometry(rect);
    e->setTabChangesFocus(true);
    e->setAccessibleName(name);
    return e;
}

Preview makePreview(QWidget *parent, const QString &panelName, const QString &labelName, const QString &sample,
                    const QRect &rect)
{
    Preview p;
    p.panel = new QFrame(parent);
    p.panel->setObjectName(panelName);
    p.panel->setGeometry(rect);
    p.panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p.panel->setAutoFillBackground(true);
    p.label = new ShadowLabel(p.panel, labelName);
    p.label->setGeometry(4, 4, rect.width() - 8, rect.height() - 8);
    p.label->setFont(stageFont(QStringLiteral("黑体"), 32));
    p.label->setAlignment(Qt::AlignCenter);
    p.label->setText(sample);
    entry_style::setPreviewColour(p.label, 0);
    entry_style::setPreviewShadow(p.label, 0);
    p.panel->hide();
    return p;
}

QPixmap builtInBackground(const QString &title, QSize size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(214, 236, 250));
    g.setColorAt(1, QColor(120, 170, 220));
    p.fillRect(pixmap.rect(), g);
    p.setPen(QColor(30, 60, 120));
    p.setFont(stageFont(QStringLiteral("黑体"), 24, true));
    p.drawText(QRect(46, size.height() - 48, size.width() - 92, 34), Qt::AlignRight | Qt::AlignVCenter, title);
    return pixmap;
}

namespace {

// The built-in frame of option `letter`: a rounded box with the letter in a disc at its left.
QPixmap optionFrame(QChar letter)
{
    QPixmap pixmap(470, 110);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(1.5, 1.5, 467, 107), 14, 14);
    p.fillPath(box, QColor(255, 255, 255, 150));
    p.setPen(QPen(QColor(40, 80, 150), 3));
    p.drawPath(box);
    p.setBrush(QColor(40, 90, 170));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(12, 18, 72, 72));
    p.setPen(Qt::white);
    p.setFont(stageFont(QStringLiteral("黑体"), 44, true));
    p.drawText(QRectF(12, 18, 72, 72), Qt::AlignCenter, QString(letter));
    return pixmap;
}

// Lays `picture` over the whole page, beneath everything made after it.
void fillPage(QWidget *page, Picture *picture)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
}

} // namespace

ChoicePage::ChoicePage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("show_xuanzeti"));
    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setStretch(true);
    fillPage(this, Image1);
    Image1->setPixmap(builtInBackground(QStringLiteral("选择题维护界面"), QSize(1024, 768)));
    ed_xzttm = entryEditor(this, QStringLiteral("ed_xzttm"), QRect(46, 133, 930, 196));
    const QPoint places[6] = {{28, 359}, {519, 359}, {28, 470}, {519, 469}, {29, 580}, {520, 579}};
    for (int k = 0; k < 6; ++k) {
        const QChar letter(u'A' + k);
        auto *frame = new Picture(this, QStringLiteral("Image%1").arg(k + 3));
        frame->setGeometry(QRect(places[k], QSize(470, 110)));
        frame->setPixmap(optionFrame(letter));
        frames << frame;
        auto *area = new ClickArea(this, QStringLiteral("lab_") + QChar(u'a' + k));
        area->setGeometry(places[k].x() + 9, places[k].y() + 5, 78, 100);
        area->setCursor(Qt::PointingHandCursor);
        area->setAccessibleName(QStringLiteral("选项") + letter);
        letters << area;
        options << entryEditor(this, QStringLiteral("ed_da%1").arg(k + 1),
                               QRect(places[k].x() + 94, places[k].y() + 10, 368, 90));
    }
    const Preview q = makePreview(this, QStringLiteral("Panel_tmxg"), QStringLiteral("Lab_tmxg"),
                                  QStringLiteral("题目文字效果"), QRect(640, 96, 336, 56));
    Panel_tmxg = q.panel;
    Lab_tmxg = q.label;
    const Preview a = makePreview(this, QStringLiteral("Panel_daxg"), QStringLiteral("Lab_daxg"),
                                  QStringLiteral("答案文字效果"), QRect(640, 300, 336, 56));
    Panel_daxg = a.panel;
    Lab_daxg = a.label;
}

AnswerPage::AnswerPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("show_wendati"));
    Image2 = new Picture(this, QStringLiteral("Image2"));
    Image2->setStretch(true);
    fillPage(this, Image2);
    Image2->setPixmap(builtInBackground(QStringLiteral("问答题维护界面"), QSize(1024, 768)));
    ed_wendati = entryEditor(this, QStringLiteral("ed_wendati"), QRect(122, 171, 784, 421));
    ed_wendatida = entryEditor(this, QStringLiteral("ed_wendatida"), QRect(122, 171, 784, 421));
    ed_wendatida->hide();
    const Preview q = makePreview(this, QStringLiteral("panel_wendatmxg"), QStringLiteral("lab_wendatmxg"),
                                  QStringLiteral("题目文字效果"), QRect(122, 604, 380, 60));
    panel_wendatmxg = q.panel;
    lab_wendatmxg = q.label;
    const Preview a = makePreview(this, QStringLiteral("panel_wendadaxg"), QStringLiteral("lab_wendadaxg"),
                                  QStringLiteral("答案文字效果"), QRect(526, 604, 380, 60));
    panel_wendadaxg = a.panel;
    lab_wendadaxg = a.label;
}
