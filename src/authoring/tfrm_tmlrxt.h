#pragma once
// The question entry screen (题目录入界面): adds questions to the issue and group chosen on the
// maintenance screen, or edits the maintenance grid's current question, one page per question type,
// with the text styles of the question and of the answers.
#include "ui/stage_window.h"

#include <QStringList>

class AnswerPage;
class ChoicePage;
class MatchingPage;
class MediaPage;
class PicturePage;
class QComboBox;
class QFrame;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class ShadowLabel;

class Tfrm_tmlrxt : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_tmlrxt(AppContext &context);

    QFrame *Panel_tmwh;
    QComboBox *Combo_tmlx;
    QRadioButton *r_tm;
    QRadioButton *r_da;
    QGroupBox *GroupBox_tmsz;
    QComboBox *Combo_font;
    QComboBox *Combo_color;
    QComboBox *Combo_size;
    QComboBox *Combo_bjcolor;
    QGroupBox *GroupBox_dasz;
    QComboBox *Combo_dafont;
    QComboBox *Combo_dacolor;
    QComboBox *Combo_dasize;
    QComboBox *Combo_dabjcolor;
    QGroupBox *GroupBox_tupianti;
    QGroupBox *GroupBox_duomeiti;
    QPushButton *but_tptinputtm; // 选择题目图片
    QPushButton *but_tptinputda; // 选择答案图片
    QPushButton *but_duomeiti;   // 选择题目内容
    QPushButton *but_play;
    QPushButton *but_pause;
    QPushButton *but_stop;
    QPushButton *but_baocun;
    QPushButton *but_exit;
    QStackedWidget *PageControl1;
    ChoicePage *show_xuanzeti;
    AnswerPage *show_wendati;
    PicturePage *show_tupianti;
    MatchingPage *show_lianxianti;
    MediaPage *show_media;

    // The correct options as marked, one slot per option A .. F holding its letter or nothing.
    QStringList selected_letters;

    void reset_entry_look();
    void load_entry_backgrounds();
    void clear_entry_editors();

    void typeChanged();
    void sideChanged();
    void toggleQuestionPreview();
    void toggleAnswerPreview();
    void clickOption(int k);
    void save();

protected:
    void onShow() override;
    void onClose() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class StyleList { Font, Size, Colour, Shadow };
    void styleChosen(bool answer, StyleList list);
    void setSide(bool question);
    void loadCurrent();
    void loadChoice(const class Dataset &row);
    void loadAnswer(const class Dataset &row);
    void loadMatching(const class Dataset &row);
    void saveChoice(int mode);
    void saveAnswer(int mode);
    void saveMatching(int mode);
    void savePicture(int mode);
    void saveMedia(int mode);
    // Appends a new row of `type` to the chosen issue and group, with the next free order.
    template <typename Fields>
    void addRow(const QString &type, Fields &&fields);
    template <typename Fields>
    void editRow(Fields &&fields);
    bool optionMarked(int k) const;
    void markOption(int k, bool marked);
};
