#pragma once
// The pages of the entry screen, one per question type, and the text styles their editors carry:
// a font family, a size in points and a colour reference for each editor, a shadow colour reference
// for each effect preview.
#include <QColor>
#include <QFrame>
#include <QList>
#include <QPlainTextEdit>

class ClickArea;
class Picture;
class ShadowLabel;

namespace entry_style {

// The style an editor's text is stored with.
struct TextStyle {
    QString family;
    int size = 10;
    int colour = 0; // colour reference
};
TextStyle styleOf(const QPlainTextEdit *editor);
void setFamily(QPlainTextEdit *editor, const QString &family);
void setSize(QPlainTextEdit *editor, int points);
void setColour(QPlainTextEdit *editor, int ref);
void apply(QPlainTextEdit *editor, const TextStyle &style);
// The ground the screen gives an editor or a preview panel (an option's ground tells whether it is
// marked). Light text is shown on a darker shade of it, so it reads while typed: `shownBackground`.
void setBackground(QWidget *widget, const QColor &colour);
QColor background(const QWidget *widget);
QColor shownBackground(const QWidget *widget);

// Effect previews: the sample's text colour and its shadow, both as colour references.
void setPreviewColour(ShadowLabel *label, int ref);
void setPreviewShadow(ShadowLabel *label, int ref);
int previewShadow(const ShadowLabel *label);
int previewColour(const ShadowLabel *label);
void setPreviewFamily(ShadowLabel *label, const QString &family);

} // namespace entry_style

// A text editor of the entry pages: plain text, lines kept as typed.
QPlainTextEdit *entryEditor(QWidget *parent, const QString &name, const QRect &rect);

// An effect preview: a panel with a sample text in 32-pixel 黑体, its shadow to the right and below.
struct Preview {
    QFrame *panel;
    ShadowLabel *label;
};
Preview makePreview(QWidget *parent, const QString &panelName, const QString &labelName, const QString &sample,
                    const QRect &rect);

// The choice page 选择题维护界面: the question, six options A .. F in their frames, click areas that
// mark an option correct, and the two effect previews.
class ChoicePage : public QWidget {
    Q_OBJECT
public:
    explicit ChoicePage(QWidget *parent);

    Picture *Image1;
    QPlainTextEdit *ed_xzttm;
    QList<Picture *> frames;        // Image3 .. Image8
    QList<ClickArea *> letters;     // lab_a .. lab_f
    QList<QPlainTextEdit *> options; // ed_da1 .. ed_da6
    QFrame *Panel_tmxg;
    ShadowLabel *Lab_tmxg;
    QFrame *Panel_daxg;
    ShadowLabel *Lab_daxg;
};

// The question-and-answer page 问答题维护界面: question and answer editors in one place, one shown at a time.
class AnswerPage : public QWidget {
    Q_OBJECT
public:
    explicit AnswerPage(QWidget *parent);

    Picture *Image2;
    QPlainTextEdit *ed_wendati;
    QPlainTextEdit *ed_wendatida;
    QFrame *panel_wendatmxg;
    ShadowLabel *lab_wendatmxg;
    QFrame *panel_wendadaxg;
    ShadowLabel *lab_wendadaxg;
};

// The built-in background of a page, used when "系统图片" holds none.
QPixmap builtInBackground(const QString &title, QSize size);
