#include "tfrm_tmlrxt.h"

#include "data/dataset.h"
#include "media/asset_paths.h"
#include "question_bank.h"
#include "settings/decimal_text.h"
#include "tfrm_tmlr.h"
#include "tmlrxt_matching.h"
#include "tmlrxt_media.h"
#include "tmlrxt_pages.h"
#include "ui/click_area.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>

using namespace question_bank;

namespace {

const QColor kEditorYellow(251, 252, 184);
const QColor kUnmarked(226, 249, 115);
const QColor kMarked(255, 0, 0);

const QString kNoAnswer = QStringLiteral("没有选择正确答案，请选择后在保存！");
const QString kNoQuestion = QStringLiteral("题目还没有输入，请检查！");

// A group box that reports a click on itself (not on its lists); a disabled box takes none.
class ClickBox : public QGroupBox {
public:
    ClickBox(const QString &title, QWidget *parent, std::function<void()> onClick)
        : QGroupBox(title, parent), m_onClick(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QGroupBox::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && m_onClick)
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

QLabel *label(QWidget *parent, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->adjustSize();
    l->move(x, y);
    return l;
}

QComboBox *list(QWidget *parent, const QString &name, const QRect &rect)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setGeometry(rect);
    c->setMaxVisibleItems(20);
    return c;
}

QPixmap swatch(const QColor &colour)
{
    QPixmap p(14, 14);
    p.fill(colour);
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 13, 13);
    return p;
}

void fillColours(QComboBox *c)
{
    for (const NamedColour &n : namedColours())
        c->addItem(QIcon(swatch(colourOf(n.ref))), n.name, n.ref);
}

void fillFonts(QComboBox *c)
{
    QStringList families = {QStringLiteral("宋体"), QStringLiteral("黑体"), QStringLiteral("Times New Roman")};
    for (const QString &f : QFontDatabase::families())
        if (!families.contains(f) && !QFontDatabase::isPrivateFamily(f))
            families << f;
    c->addItems(families);
}

// Fills `c` with "10" .. "100", keeping the entry it showed.
void fillSizes(QComboBox *c)
{
    const QString shown = c->currentText();
    c->clear();
    for (int i = 10; i <= 100; ++i)
        c->addItem(QString::number(i));
    c->setCurrentIndex(std::max(0, c->findText(shown)));
}

QString text(const QPlainTextEdit *e)
{
    return toStored(e->toPlainText());
}

// A font the list lacks (a stored one not installed here) is listed first.
void showFont(QComboBox *c, const QString &family)
{
    int i = c->findText(family);
    if (i < 0) {
        c->insertItem(0, family);
        i = 0;
    }
    c->setCurrentIndex(i);
}

// A stored size outside 10 .. 100 is listed in its place among the others.
void showSize(QComboBox *c, int points)
{
    const QString size = QString::number(points);
    int i = c->findText(size);
    if (i < 0) {
        i = 0;
        while (i < c->count() && c->itemText(i).toInt() < points)
            ++i;
        c->insertItem(i, size);
    }
    c->setCurrentIndex(i);
}

// A colour the list does not name is listed after the named ones, as the one such entry.
void showColour(QComboBox *c, int ref)
{
    while (c->count() > namedColours().size())
        c->removeItem(c->count() - 1);
    int i = c->findData(ref);
    if (i < 0) {
        c->addItem(QIcon(swatch(colourOf(ref))), QStringLiteral("其他颜色"), ref);
        i = c->count() - 1;
    }
    c->setCurrentIndex(i);
}

} // namespace

Tfrm_tmlrxt::Tfrm_tmlrxt(AppContext &context) : StageWindow(context, QStringLiteral("frm_tmlrxt"))
{
    setWindowTitle(QStringLiteral("题目录入界面"));
    setMaximised(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    setPalette(pal);
    for (int k = 0; k < 6; ++k)
        selected_letters << QString();

}

void Tfrm_tmlrxt::makeWidgets()
{
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    show_xuanzeti = new ChoicePage(PageControl1);
    show_wendati = new AnswerPage(PageControl1);
    show_tupianti = new PicturePage(PageControl1, context());
    show_lianxianti = new MatchingPage(PageControl1);
    show_media = new MediaPage(PageControl1, context());
    for (QWidget *page : {static_cast<QWidget *>(show_xuanzeti), static_cast<QWidget *>(show_wendati),
                          static_cast<QWidget *>(show_tupianti), static_cast<QWidget *>(show_lianxianti),
                          static_cast<QWidget *>(show_media)})
        PageControl1->addWidget(page);

    Panel_tmwh = new QFrame(this);
    Panel_tmwh->setObjectName(QStringLiteral("Panel_tmwh"));
    Panel_tmwh->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel_tmwh->setAutoFillBackground(true);
    QPalette hp = Panel_tmwh->palette();
    hp.setColor(QPalette::Window, QColor(192, 220, 192));
    Panel_tmwh->setPalette(hp);

    label(Panel_tmwh, QStringLiteral("题目类型"), 14, 12);
    Combo_tmlx = list(Panel_tmwh, QStringLiteral("Combo_tmlx"), QRect(14, 36, 110, 26));
    Combo_tmlx->addItems(typeNames());
    r_tm = new QRadioButton(QStringLiteral("题 目"), Panel_tmwh);
    r_tm->setObjectName(QStringLiteral("r_tm"));
    r_tm->setGeometry(138, 18, 70, 24);
    r_tm->setChecked(true);
    r_da = new QRadioButton(QStringLiteral("答 案"), Panel_tmwh);
    r_da->setObjectName(QStringLiteral("r_da"));
    r_da->setGeometry(138, 52, 70, 24);

    auto styleBox = [this](const QString &name, const QString &title, int x, bool answer, QComboBox *&font,
                           QComboBox *&colour, QComboBox *&size, QComboBox *&shadow, const QString &prefix) {
        auto *box = new ClickBox(title, Panel_tmwh, [this, answer] {
            guard([this, answer] { answer ? toggleAnswerPreview() : toggleQuestionPreview(); });
        });
        box->setObjectName(name);
        box->setGeometry(x, 2, 340, 88);
        label(box, QStringLiteral("字体"), 8, 26);
        font = list(box, prefix + QStringLiteral("font"), QRect(40, 22, 150, 24));
        label(box, QStringLiteral("大小"), 200, 26);
        size = list(box, prefix + QStringLiteral("size"), QRect(232, 22, 96, 24));
        label(box, QStringLiteral("字体颜色"), 8, 58);
        colour = list(box, prefix + QStringLiteral("color"), QRect(68, 54, 122, 24));
        label(box, QStringLiteral("字体背景色"), 196, 58);
        shadow = list(box, prefix + QStringLiteral("bjcolor"), QRect(262, 54, 70, 24));
        fillFonts(font);
        fillColours(colour);
        fillColours(shadow);
        colour->setCurrentIndex(colour->findData(kNavyRef));
        shadow->setCurrentIndex(shadow->findData(0));
        fillSizes(size);
        return box;
    };
    GroupBox_tmsz = styleBox(QStringLiteral("GroupBox_tmsz"), QStringLiteral("------- 题目设置"), 216, false, Combo_font,
                             Combo_color, Combo_size, Combo_bjcolor, QStringLiteral("Combo_"));
    GroupBox_dasz = styleBox(QStringLiteral("GroupBox_dasz"), QStringLiteral("------- 答案设置"), 562, true, Combo_dafont,
                             Combo_dacolor, Combo_dasize, Combo_dabjcolor, QStringLiteral("Combo_da"));
    auto button = [](QWidget *parent, const QString &name, const QString &text, const QRect &rect, bool flat = false) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(name);
        b->setGeometry(rect);
        b->setAutoDefault(false);
        b->setFlat(flat);
        return b;
    };
    // The picture and multimedia settings lie over the style boxes, which those pages do not use.
    GroupBox_tupianti = new QGroupBox(QStringLiteral("------- 图片题设置"), Panel_tmwh);
    GroupBox_tupianti->setObjectName(QStringLiteral("GroupBox_tupianti"));
    GroupBox_tupianti->setGeometry(216, 2, 686, 88);
    GroupBox_tupianti->setAutoFillBackground(true);
    but_tptinputtm = button(GroupBox_tupianti, QStringLiteral("but_tptinputtm"), QStringLiteral("选择题目图片"), QRect(40, 34, 140, 32));
    but_tptinputda = button(GroupBox_tupianti, QStringLiteral("but_tptinputda"), QStringLiteral("选择答案图片"), QRect(220, 34, 140, 32));
    GroupBox_tupianti->hide();
    GroupBox_duomeiti = new QGroupBox(QStringLiteral("------- 多媒体题目设置"), Panel_tmwh);
    GroupBox_duomeiti->setObjectName(QStringLiteral("GroupBox_duomeiti"));
    GroupBox_duomeiti->setGeometry(216, 2, 686, 88);
    GroupBox_duomeiti->setAutoFillBackground(true);
    but_duomeiti = button(GroupBox_duomeiti, QStringLiteral("but_duomeiti"), QStringLiteral("选择题目内容"), QRect(40, 34, 140, 32));
    but_play = button(GroupBox_duomeiti, QStringLiteral("but_play"), QStringLiteral("播放"), QRect(220, 34, 80, 32), true);
    but_pause = button(GroupBox_duomeiti, QStringLiteral("but_pause"), QStringLiteral("暂停"), QRect(310, 34, 80, 32), true);
    but_stop = button(GroupBox_duomeiti, QStringLiteral("but_stop"), QStringLiteral("停止"), QRect(400, 34, 80, 32), true);
    GroupBox_duomeiti->hide();

    but_baocun = new QPushButton(QStringLiteral("保 存"), Panel_tmwh);
    but_baocun->setObjectName(QStringLiteral("but_baocun"));
    but_baocun->setGeometry(912, 12, 96, 32);
    but_baocun->setAutoDefault(false);
    but_exit = new QPushButton(QStringLiteral("退 出"), Panel_tmwh);
    but_exit->setObjectName(QStringLiteral("but_exit"));
    but_exit->setGeometry(912, 52, 96, 32);
    but_exit->setAutoDefault(false);

    auto run = [this](void (Tfrm_tmlrxt::*action)()) {
        return [this, action] { guard([this, action] { (this->*action)(); }); };
    };
    connect(Combo_tmlx, &QComboBox::activated, this, run(&Tfrm_tmlrxt::typeChanged));
    connect(r_tm, &QRadioButton::clicked, this, run(&Tfrm_tmlrxt::sideChanged));
    connect(r_da, &QRadioButton::clicked, this, run(&Tfrm_tmlrxt::sideChanged));
    const struct {
        QComboBox *combo;
        bool answer;
        StyleList list;
    } lists[] = {
        {Combo_font, false, StyleList::Font},     {Combo_size, false, StyleList::Size},
        {Combo_color, false, StyleList::Colour},  {Combo_bjcolor, false, StyleList::Shadow},
        {Combo_dafont, true, StyleList::Font},    {Combo_dasize, true, StyleList::Size},
        {Combo_dacolor, true, StyleList::Colour}, {Combo_dabjcolor, true, StyleList::Shadow},
    };
    for (const auto &l : lists)
        connect(l.combo, &QComboBox::activated, this,
                [this, answer = l.answer, which = l.list] { guard([&] { styleChosen(answer, which); }); });
    for (int k = 0; k < 6; ++k)
        connect(show_xuanzeti->letters[k], &ClickArea::clicked, this, [this, k] { guard([this, k] { clickOption(k); }); });
    connect(show_lianxianti->N2, &QAction::triggered, this, [this] { guard([this] { show_lianxianti->clearConnections(); }); });
    auto media = [this](auto action) { return [this, action] { guard([this, action] { action(); }); }; };
    connect(but_tptinputtm, &QPushButton::clicked, this, media([this] { show_tupianti->chooseQuestion(this); }));
    connect(but_tptinputda, &QPushButton::clicked, this, media([this] { show_tupianti->chooseAnswer(this); }));
    connect(but_duomeiti, &QPushButton::clicked, this, media([this] { show_media->choose(this); }));
    connect(but_play, &QPushButton::clicked, this, media([this] { show_media->play(); }));
    connect(but_pause, &QPushButton::clicked, this, media([this] { show_media->pause(); }));
    connect(but_stop, &QPushButton::clicked, this, media([this] { show_media->stop(); }));
    connect(but_baocun, &QPushButton::clicked, this, run(&Tfrm_tmlrxt::save));
    connect(but_exit, &QPushButton::clicked, this, &StageWindow::closeScreen);

    // The editors' design-time styles, kept until the operator or a loaded question changes them.
    QFont choiceFont(QStringLiteral("宋体"));
    choiceFont.setPointSize(10);
    choiceFont.setBold(true);
    show_xuanzeti->ed_xzttm->setFont(choiceFont);
    entry_style::setColour(show_xuanzeti->ed_xzttm, kNavyRef);
    for (QPlainTextEdit *e : show_xuanzeti->options) {
        e->setFont(choiceFont);
        entry_style::setColour(e, kNavyRef);
    }
    QFont plainFont(QStringLiteral("宋体"));
    plainFont.setPointSize(10);
    QList<QPlainTextEdit *> plain = {show_wendati->ed_wendati, show_wendati->ed_wendatida, show_lianxianti->ed_lxttm};
    plain << show_lianxianti->leftItems << show_lianxianti->rightItems;
    for (QPlainTextEdit *e : plain) {
        e->setFont(plainFont);
        entry_style::setColour(e, kWindowTextRef);
    }
    reset_entry_look();
    // The screen took its size before its widgets were made: they take theirs now.
    PageControl1->setGeometry(0, 0, width(), height());
    Panel_tmwh->setGeometry(0, 0, width(), 94);
}

void Tfrm_tmlrxt::resizeEvent(QResizeEvent *event)
{
    StageWindow::resizeEvent(event);
    if (!PageControl1)
        return; // not made yet
    PageControl1->setGeometry(0, 0, width(), height());
    Panel_tmwh->setGeometry(0, 0, width(), 94);
}

void Tfrm_tmlrxt::onShow()
{
    but_baocun->setEnabled(true);
    PageControl1->setCurrentWidget(show_xuanzeti);
    Combo_tmlx->setCurrentIndex(Combo_tmlx->findText(kChoice));
    Combo_tmlx->setEnabled(true);
    r_tm->setChecked(true);
    fillSizes(Combo_size);
    fillSizes(Combo_dasize);
    reset_entry_look();
    load_entry_backgrounds();
    clear_entry_editors();
    for (QString &slot : selected_letters)
        slot.clear();
    for (QString &slot : show_lianxianti->pair_slots)
        slot.clear();
    show_tupianti->forget();
    show_media->forget();
    for (QWidget *w : {show_xuanzeti->Panel_tmxg, show_xuanzeti->Panel_daxg, show_wendati->panel_wendatmxg,
                       show_wendati->panel_wendadaxg, show_lianxianti->Panel_lxttmxg, show_lianxianti->Panel_lxtdaxg})
        w->hide();
    GroupBox_tupianti->hide();
    GroupBox_duomeiti->hide();
    GroupBox_tmsz->setEnabled(true);
    GroupBox_dasz->setEnabled(false);
    showStyles();
    if (context().entry_mode == 2) {
        Combo_tmlx->setEnabled(false);
        // A question whose stored style cannot be read is not saved back half loaded.
        but_baocun->setEnabled(false);
        loadCurrent();
        showStyles();
        but_baocun->setEnabled(true);
    }
}

void Tfrm_tmlrxt::onClose()
{
    if (show_media) // made at the first opening
        show_media->leave();
}

void Tfrm_tmlrxt::reset_entry_look()
{
    using entry_style::setBackground;
    for (QWidget *w : {static_cast<QWidget *>(show_xuanzeti->ed_xzttm), static_cast<QWidget *>(show_xuanzeti->Panel_tmxg),
                       static_cast<QWidget *>(show_wendati->ed_wendati), static_cast<QWidget *>(show_wendati->ed_wendatida)})
        setBackground(w, kEditorYellow);
    for (QPlainTextEdit *e : show_xuanzeti->options)
        setBackground(e, kUnmarked);
    setBackground(show_xuanzeti->Panel_daxg, kUnmarked);
    MatchingPage *m = show_lianxianti;
    setBackground(m->ed_lxttm, kEditorYellow);
    setBackground(m->Panel_lxttmxg, kEditorYellow);
    setBackground(show_wendati->panel_wendatmxg, Qt::white);
    setBackground(show_wendati->panel_wendadaxg, Qt::white);
    for (QPlainTextEdit *e : m->leftItems + m->rightItems)
        setBackground(e, Qt::white);
    setBackground(m->Panel_lxtdaxg, Qt::white);
    for (ShadowLabel *l : {show_xuanzeti->Lab_tmxg, show_xuanzeti->Lab_daxg, show_wendati->lab_wendatmxg,
                           show_wendati->lab_wendadaxg, m->Lab_lxttmxg, m->Lab_lxtdaxg})
        entry_style::setPreviewShadow(l, 0);
    for (ShadowLabel *l : {show_xuanzeti->Lab_daxg, show_wendati->lab_wendadaxg, m->Lab_lxtdaxg})
        entry_style::setPreviewColour(l, 0);
    // A new matching question stores its items in the preview's colour: the items show that colour.
    for (QPlainTextEdit *e : m->leftItems + m->rightItems)
        entry_style::setColour(e, entry_style::previewColour(m->Lab_lxtdaxg));
    show_wendati->ed_wendati->show();
    show_wendati->ed_wendatida->hide();
    if (PageControl1->currentWidget() == show_wendati)
        r_tm->setChecked(true);
}

void Tfrm_tmlrxt::load_entry_backgrounds()
{
    const AssetPaths &paths = context().paths;
    show_xuanzeti->Image1->loadIfExists(paths.file(assets::kEntryChoicePage));
    show_wendati->Image2->loadIfExists(paths.file(assets::kEntryAnswerPage));
    show_lianxianti->setPictureFile(paths.file(assets::kMatchingSurface));
    show_lianxianti->reloadPicture();
}

void Tfrm_tmlrxt::clear_entry_editors()
{
    show_xuanzeti->ed_xzttm->clear();
    for (QPlainTextEdit *e : show_xuanzeti->options)
        e->clear();
    show_wendati->ed_wendati->clear();
    show_wendati->ed_wendatida->clear();
    show_lianxianti->ed_lxttm->clear();
    for (QPlainTextEdit *e : show_lianxianti->leftItems + show_lianxianti->rightItems)
        e->clear();
}

void Tfrm_tmlrxt::typeChanged()
{
    const QString type = Combo_tmlx->currentText();
    QWidget *page = type == kAnswer     ? static_cast<QWidget *>(show_wendati)
                    : type == kMatching ? static_cast<QWidget *>(show_lianxianti)
                    : type == kPicture  ? static_cast<QWidget *>(show_tupianti)
                    : type == kMedia    ? static_cast<QWidget *>(show_media)
                                        : static_cast<QWidget *>(show_xuanzeti);
    PageControl1->setCurrentWidget(page);
    GroupBox_tupianti->setVisible(type == kPicture);
    GroupBox_duomeiti->setVisible(type == kMedia);
    if (type == kMedia)
        show_media->hideFlash();
    setSide(r_tm->isChecked()); // the new page shows the side that is chosen
    showStyles();
}

void Tfrm_tmlrxt::sideChanged()
{
    setSide(r_tm->isChecked());
}

void Tfrm_tmlrxt::setSide(bool question)
{
    r_tm->setChecked(question);
    r_da->setChecked(!question);
    QWidget *page = PageControl1->currentWidget();
    if (page == show_xuanzeti || page == show_lianxianti || page == show_wendati) {
        GroupBox_tmsz->setEnabled(question);
        GroupBox_dasz->setEnabled(!question);
    }
    if (page == show_wendati) {
        show_wendati->ed_wendati->setVisible(question);
        show_wendati->ed_wendatida->setVisible(!question);
    }
    if (page == show_tupianti)
        show_tupianti->showSide(question);
}

void Tfrm_tmlrxt::styleChosen(bool answer, StyleList which)
{
    QComboBox *combo = answer ? (which == StyleList::Font     ? Combo_dafont
                                 : which == StyleList::Size   ? Combo_dasize
                                 : which == StyleList::Colour ? Combo_dacolor
                                                              : Combo_dabjcolor)
                              : (which == StyleList::Font     ? Combo_font
                                 : which == StyleList::Size   ? Combo_size
                                 : which == StyleList::Colour ? Combo_color
                                                              : Combo_bjcolor);
    QList<QPlainTextEdit *> editors;
    ShadowLabel *preview = nullptr;
    bool previewTakesFont = true;
    QWidget *page = PageControl1->currentWidget();
    if (page == show_xuanzeti) {
        editors = answer ? show_xuanzeti->options : QList<QPlainTextEdit *>{show_xuanzeti->ed_xzttm};
        preview = answer ? show_xuanzeti->Lab_daxg : show_xuanzeti->Lab_tmxg;
    } else if (page == show_wendati) {
        editors = {answer ? show_wendati->ed_wendatida : show_wendati->ed_wendati};
        preview = answer ? show_wendati->lab_wendadaxg : show_wendati->lab_wendatmxg;
        previewTakesFont = false;
    } else if (page == show_lianxianti) {
        editors = answer ? show_lianxianti->leftItems + show_lianxianti->rightItems
                         : QList<QPlainTextEdit *>{show_lianxianti->ed_lxttm};
        preview = answer ? show_lianxianti->Lab_lxtdaxg : show_lianxianti->Lab_lxttmxg;
    } else {
        return; // the picture and multimedia pages take no style
    }
    switch (which) {
    case StyleList::Font:
        for (QPlainTextEdit *e : editors)
            entry_style::setFamily(e, combo->currentText());
        if (previewTakesFont)
            entry_style::setPreviewFamily(preview, combo->currentText());
        break;
    case StyleList::Size:
        for (QPlainTextEdit *e : editors)
            entry_style::setSize(e, decimal_text::toInt(combo->currentText()));
        break;
    case StyleList::Colour:
        for (QPlainTextEdit *e : editors)
            entry_style::setColour(e, combo->currentData().toInt());
        entry_style::setPreviewColour(preview, combo->currentData().toInt());
        break;
    case StyleList::Shadow:
        entry_style::setPreviewShadow(preview, combo->currentData().toInt());
        break;
    }
}

void Tfrm_tmlrxt::toggleQuestionPreview()
{
    QWidget *page = PageControl1->currentWidget();
    QWidget *panel = page == show_xuanzeti      ? static_cast<QWidget *>(show_xuanzeti->Panel_tmxg)
                     : page == show_wendati    ? static_cast<QWidget *>(show_wendati->panel_wendatmxg)
                     : page == show_lianxianti ? static_cast<QWidget *>(show_lianxianti->Panel_lxttmxg)
                                               : nullptr;
    if (panel) {
        panel->setVisible(!panel->isVisible());
        panel->raise();
    }
}

void Tfrm_tmlrxt::toggleAnswerPreview()
{
    QWidget *page = PageControl1->currentWidget();
    QWidget *panel = page == show_xuanzeti      ? static_cast<QWidget *>(show_xuanzeti->Panel_daxg)
                     : page == show_wendati    ? static_cast<QWidget *>(show_wendati->panel_wendadaxg)
                     : page == show_lianxianti ? static_cast<QWidget *>(show_lianxianti->Panel_lxtdaxg)
                                               : nullptr;
    if (panel) {
        panel->setVisible(!panel->isVisible());
        panel->raise();
    }
}

bool Tfrm_tmlrxt::optionMarked(int k) const
{
    return entry_style::background(show_xuanzeti->options[k]) != kUnmarked;
}

void Tfrm_tmlrxt::markOption(int k, bool marked)
{
    entry_style::setBackground(show_xuanzeti->options[k], marked ? kMarked : kUnmarked);
}

void Tfrm_tmlrxt::clickOption(int k)
{
    if (!optionMarked(k)) {
        selected_letters[k] = QString(QChar(u'A' + k));
        markOption(k, true);
    } else {
        selected_letters[k].clear();
        markOption(k, false);
    }
}

void Tfrm_tmlrxt::loadCurrent()
{
    const Dataset &row = context().data->adoq_tmcx;
    const QString type = row.text(QStringLiteral("tmlx")).trimmed();
    if (typeNames().contains(type))
        Combo_tmlx->setCurrentIndex(Combo_tmlx->findText(type));
    typeChanged();
    if (type == kChoice)
        loadChoice(row);
    else if (type == kAnswer)
        loadAnswer(row);
    else if (type == kMatching)
        loadMatching(row);
    else if (type == kPicture) {
        setSide(true);
        show_tupianti->load(row.text(QStringLiteral("tmmc")), row.text(QStringLiteral("danr")), this);
    } else if (type == kMedia) {
        const QString name = row.text(QStringLiteral("tmmc"));
        // A clip that cannot be played is said; the question can still be saved.
        guard([&] { show_media->load(name); });
    }
    else if (!typeNames().contains(type))
        PageControl1->setCurrentWidget(show_xuanzeti);
}

namespace {

// A stored style, read whole before anything is shown: a value that is not a number stops the load.
struct StoredStyle {
    entry_style::TextStyle text;
    int shadow = 0;
};
StoredStyle storedStyle(const Dataset &row, const QString &prefix)
{
    StoredStyle s;
    s.text.family = row.text(prefix + QStringLiteral("font")).trimmed();
    s.text.size = decimal_text::toInt(row.text(prefix + QStringLiteral("size")));
    s.text.colour = decimal_text::toInt(row.text(prefix + QStringLiteral("color")));
    s.shadow = decimal_text::toInt(row.text(prefix + QStringLiteral("bjs")));
    return s;
}

} // namespace

void Tfrm_tmlrxt::loadChoice(const Dataset &row)
{
    const StoredStyle question = storedStyle(row, QStringLiteral("tm"));
    const StoredStyle answer = storedStyle(row, QStringLiteral("da"));
    ChoicePage *p = show_xuanzeti;
    p->ed_xzttm->setPlainText(fromStored(row.text(QStringLiteral("tmmc"))));
    entry_style::apply(p->ed_xzttm, question.text);
    entry_style::setPreviewShadow(p->Lab_tmxg, question.shadow);
    for (int k = 0; k < 6; ++k) {
        const QString option = row.text(QStringLiteral("da%1").arg(k + 1));
        if (!option.trimmed().isEmpty())
            p->options[k]->setPlainText(fromStored(option));
        entry_style::apply(p->options[k], answer.text);
    }
    entry_style::setPreviewShadow(p->Lab_daxg, answer.shadow);
    const QList<bool> marked = markedOptions(row.text(QStringLiteral("zqda")));
    for (int k = 0; k < 6; ++k)
        if (marked[k])
            markOption(k, true);
}

void Tfrm_tmlrxt::loadAnswer(const Dataset &row)
{
    const StoredStyle question = storedStyle(row, QStringLiteral("tm"));
    const StoredStyle answer = storedStyle(row, QStringLiteral("da"));
    AnswerPage *p = show_wendati;
    p->ed_wendati->setPlainText(fromStored(row.text(QStringLiteral("tmmc"))));
    entry_style::apply(p->ed_wendati, question.text);
    entry_style::setPreviewShadow(p->lab_wendatmxg, question.shadow);
    p->ed_wendatida->setPlainText(fromStored(row.text(QStringLiteral("danr"))));
    entry_style::apply(p->ed_wendatida, answer.text);
    entry_style::setPreviewShadow(p->lab_wendadaxg, answer.shadow);
}

template <typename Fields>
void Tfrm_tmlrxt::addRow(const QString &type, Fields &&fields)
{
    const Tfrm_tmlr *bank = context().screens.frm_tmlr;
    const int issue = bank->issue();
    const QString group = bank->groupText();
    Dataset &ls = context().data->adoq_ls;
    ls.close();
    ls.setSql(QStringLiteral("select max(ctsx) as nummax from tiku where (qs=:ls) and (tmfz=:ls2)"));
    ls.bindInt(QStringLiteral(":ls"), issue);
    ls.bindText(QStringLiteral(":ls2"), group);
    ls.open();
    const int n = ls.isNull(QStringLiteral("nummax")) ? 0 : ls.value(QStringLiteral("nummax")).toInt();
    ls.close();
    ls.setSql(QStringLiteral("select * from tiku where (qs=:ls) and (tmfz=:ls2)"));
    ls.open();
    ls.append();
    ls.setValue(QStringLiteral("qs"), issue);
    ls.setValue(QStringLiteral("ctsx"), n + 1);
    ls.setValue(QStringLiteral("tmlx"), type);
    ls.setValue(QStringLiteral("tmfz"), group);
    fields(ls);
    ls.setValue(QStringLiteral("tmyes"), false);
    ls.post();
}

template <typename Fields>
void Tfrm_tmlrxt::editRow(Fields &&fields)
{
    Dataset &row = context().data->adoq_tmcx;
    row.edit();
    try {
        fields(row);
        row.post();
    } catch (...) {
        row.cancel();
        throw;
    }
}

namespace {

void storeStyle(Dataset &row, const QString &prefix, const entry_style::TextStyle &style, int shadow)
{
    row.setValue(prefix + QStringLiteral("font"), style.family);
    row.setValue(prefix + QStringLiteral("size"), decimal_text::fromInt(style.size));
    row.setValue(prefix + QStringLiteral("color"), decimal_text::fromInt(style.colour));
    row.setValue(prefix + QStringLiteral("bjs"), decimal_text::fromInt(shadow));
}

} // namespace

void Tfrm_tmlrxt::save()
{
    const int mode = context().entry_mode;
    if (mode != 1 && mode != 2)
        return;
    QWidget *page = PageControl1->currentWidget();
    if (page == show_xuanzeti)
        saveChoice(mode);
    else if (page == show_wendati)
        saveAnswer(mode);
    else if (page == show_lianxianti)
        saveMatching(mode);
    else if (page == show_tupianti)
        savePicture(mode);
    else if (page == show_media)
        saveMedia(mode);
    showStyles(); // a save may have set the shadows back to black
}

void Tfrm_tmlrxt::showStyles()
{
    QWidget *page = PageControl1->currentWidget();
    const QPlainTextEdit *question = nullptr;
    const QPlainTextEdit *answer = nullptr;
    const ShadowLabel *questionPreview = nullptr;
    const ShadowLabel *answerPreview = nullptr;
    if (page == show_xuanzeti) {
        question = show_xuanzeti->ed_xzttm;
        answer = show_xuanzeti->options[0];
        questionPreview = show_xuanzeti->Lab_tmxg;
        answerPreview = show_xuanzeti->Lab_daxg;
    } else if (page == show_wendati) {
        question = show_wendati->ed_wendati;
        answer = show_wendati->ed_wendatida;
        questionPreview = show_wendati->lab_wendatmxg;
        answerPreview = show_wendati->lab_wendadaxg;
    } else if (page == show_lianxianti) {
        question = show_lianxianti->ed_lxttm;
        answer = show_lianxianti->leftItems[0];
        questionPreview = show_lianxianti->Lab_lxttmxg;
        answerPreview = show_lianxianti->Lab_lxtdaxg;
    } else {
        return; // the picture and multimedia pages take no style
    }
    const entry_style::TextStyle q = entry_style::styleOf(question);
    showFont(Combo_font, q.family);
    showSize(Combo_size, q.size);
    showColour(Combo_color, q.colour);
    showColour(Combo_bjcolor, entry_style::previewShadow(questionPreview));
    entry_style::TextStyle a = entry_style::styleOf(answer);
    // A new matching question stores its items in the colour of the answer preview.
    if (page == show_lianxianti && context().entry_mode == 1)
        a.colour = entry_style::previewColour(answerPreview);
    showFont(Combo_dafont, a.family);
    showSize(Combo_dasize, a.size);
    showColour(Combo_dacolor, a.colour);
    showColour(Combo_dabjcolor, entry_style::previewShadow(answerPreview));
}

void Tfrm_tmlrxt::saveChoice(int mode)
{
    ChoicePage *p = show_xuanzeti;
    if (mode == 2)
        for (int k = 0; k < 6; ++k)
            selected_letters[k] = optionMarked(k) ? QString(QChar(u'A' + k)) : QString();
    const QString answer = selected_letters.join(QString());
    if (answer.trimmed().isEmpty()) {
        context().dialogs().information(this, kNoAnswer);
        return;
    }
    if (p->ed_xzttm->toPlainText().trimmed().isEmpty()) {
        context().dialogs().information(this, kNoQuestion);
        return;
    }
    auto fields = [&](Dataset &row) {
        row.setValue(QStringLiteral("tmmc"), text(p->ed_xzttm));
        storeStyle(row, QStringLiteral("tm"), entry_style::styleOf(p->ed_xzttm), entry_style::previewShadow(p->Lab_tmxg));
        row.setValue(QStringLiteral("zqda"), answer.trimmed());
        for (int k = 0; k < 6; ++k) {
            const QString option = text(p->options[k]);
            // A new question leaves a blank option's field empty; an edit writes all six.
            if (mode == 2 || !option.trimmed().isEmpty())
                row.setValue(QStringLiteral("da%1").arg(k + 1), option);
        }
        storeStyle(row, QStringLiteral("da"), entry_style::styleOf(p->options[0]), entry_style::previewShadow(p->Lab_daxg));
    };
    if (mode == 1) {
        addRow(kChoice, fields);
        p->ed_xzttm->clear();
        for (QPlainTextEdit *e : p->options)
            e->clear();
        for (QString &slot : selected_letters)
            slot.clear();
        setSide(true);
        p->ed_xzttm->setFocus();
        reset_entry_look();
        context().dialogs().information(this, QStringLiteral("此道选择题保存成功！"));
    } else {
        editRow(fields);
        p->ed_xzttm->clear();
        for (QPlainTextEdit *e : p->options)
            e->clear();
        reset_entry_look();
        context().dialogs().information(this, QStringLiteral("此道选择题修改成功！"));
    }
}

void Tfrm_tmlrxt::saveAnswer(int mode)
{
    AnswerPage *p = show_wendati;
    auto fields = [&](Dataset &row) {
        row.setValue(QStringLiteral("tmmc"), text(p->ed_wendati));
        storeStyle(row, QStringLiteral("tm"), entry_style::styleOf(p->ed_wendati), entry_style::previewShadow(p->lab_wendatmxg));
        row.setValue(QStringLiteral("danr"), text(p->ed_wendatida));
        storeStyle(row, QStringLiteral("da"), entry_style::styleOf(p->ed_wendatida), entry_style::previewShadow(p->lab_wendadaxg));
    };
    if (mode == 1)
        addRow(kAnswer, fields);
    else
        editRow(fields);
    p->ed_wendati->clear();
    p->ed_wendatida->clear();
    setSide(true);
    context().dialogs().information(this, mode == 1 ? QStringLiteral("此道问答题保存成功！") : QStringLiteral("此道问答题修改成功！"));
}

void Tfrm_tmlrxt::loadMatching(const Dataset &row)
{
    const StoredStyle question = storedStyle(row, QStringLiteral("tm"));
    const StoredStyle answer = storedStyle(row, QStringLiteral("da"));
    MatchingPage *p = show_lianxianti;
    p->ed_lxttm->setPlainText(fromStored(row.text(QStringLiteral("tmmc"))));
    entry_style::apply(p->ed_lxttm, question.text);
    entry_style::setPreviewShadow(p->Lab_lxttmxg, question.shadow);
    for (int k = 0; k < 5; ++k) {
        const QString left = row.text(QStringLiteral("lxz%1").arg(k + 1));
        if (!left.trimmed().isEmpty())
            p->leftItems[k]->setPlainText(fromStored(left));
        const QString right = row.text(QStringLiteral("lxy%1").arg(k + 1));
        if (!right.trimmed().isEmpty())
            p->rightItems[k]->setPlainText(fromStored(right));
    }
    for (QPlainTextEdit *e : p->leftItems + p->rightItems)
        entry_style::apply(e, answer.text);
    entry_style::setPreviewShadow(p->Lab_lxtdaxg, answer.shadow);
    QStringList codes;
    for (int k = 1; k <= 5; ++k)
        codes << row.text(QStringLiteral("da%1").arg(k));
    p->restoreConnections(codes);
}

void Tfrm_tmlrxt::saveMatching(int mode)
{
    MatchingPage *p = show_lianxianti;
    if (p->connections().trimmed().isEmpty()) {
        context().dialogs().information(this, QStringLiteral("没有选择正确答案连线，请选择后在保存！"));
        return;
    }
    if (p->ed_lxttm->toPlainText().trimmed().isEmpty()) {
        context().dialogs().information(this, kNoQuestion);
        return;
    }
    auto fields = [&](Dataset &row) {
        row.setValue(QStringLiteral("tmmc"), text(p->ed_lxttm));
        storeStyle(row, QStringLiteral("tm"), entry_style::styleOf(p->ed_lxttm), entry_style::previewShadow(p->Lab_lxttmxg));
        for (int k = 0; k < 5; ++k) {
            const QString code = p->pair_slots[k].trimmed();
            // The connections on the page are the answer: an edit also writes the slots the operator
            // cleared, so a connection taken away is gone from the bank too.
            if (!code.isEmpty() || mode == 2)
                row.setValue(QStringLiteral("da%1").arg(k + 1), code.isEmpty() ? QStringLiteral("") : code);
            row.setValue(QStringLiteral("lxz%1").arg(k + 1), text(p->leftItems[k]));
            row.setValue(QStringLiteral("lxy%1").arg(k + 1), text(p->rightItems[k]));
        }
        entry_style::TextStyle items = entry_style::styleOf(p->leftItems[0]);
        if (mode == 1)
            items.colour = entry_style::previewColour(p->Lab_lxtdaxg); // as the answer preview shows it
        storeStyle(row, QStringLiteral("da"), items, entry_style::previewShadow(p->Lab_lxtdaxg));
    };
    if (mode == 1)
        addRow(kMatching, fields);
    else
        editRow(fields);
    p->ed_lxttm->clear();
    for (QPlainTextEdit *e : p->leftItems + p->rightItems)
        e->clear();
    if (mode == 1) {
        setSide(true);
        p->ed_lxttm->setFocus();
    }
    p->clearConnections();
    context().dialogs().information(this, QStringLiteral("此道连线题保存成功！"));
}

void Tfrm_tmlrxt::savePicture(int mode)
{
    PicturePage *p = show_tupianti;
    const QString question = p->questionName();
    const QString answer = p->answerName();
    if (mode == 1) {
        addRow(kPicture, [&](Dataset &row) {
            row.setValue(QStringLiteral("tmmc"), question.isNull() ? QStringLiteral("") : question);
            row.setValue(QStringLiteral("danr"), answer.isNull() ? QStringLiteral("") : answer);
        });
    } else {
        // A picture not chosen in this visit keeps its stored name.
        editRow([&](Dataset &row) {
            if (!p->chosenQuestion.isEmpty())
                row.setValue(QStringLiteral("tmmc"), question);
            if (!p->chosenAnswer.isEmpty())
                row.setValue(QStringLiteral("danr"), answer);
        });
    }
    p->forget();
    setSide(true);
    context().dialogs().information(this, mode == 1 ? QStringLiteral("此道图片题保存成功！") : QStringLiteral("此道图片题修改成功！"));
}

void Tfrm_tmlrxt::saveMedia(int mode)
{
    MediaPage *p = show_media;
    const QString name = p->fileName();
    if (mode == 1)
        addRow(kMedia, [&](Dataset &row) { row.setValue(QStringLiteral("tmmc"), name.isNull() ? QStringLiteral("") : name); });
    else
        editRow([&](Dataset &row) {
            if (!p->chosenFile.trimmed().isEmpty())
                row.setValue(QStringLiteral("tmmc"), name);
        });
    setSide(true);
    p->stopPreview();
    p->forget();
    context().dialogs().information(this, mode == 1 ? QStringLiteral("此道多媒体题保存成功！") : QStringLiteral("此道多媒体题修改成功！"));
}
