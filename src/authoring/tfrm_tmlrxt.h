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

    QFrame *Panel_tmwh = nullptr;
    QComboBox *Combo_tmlx = nullptr;
    QRadioButton *r_tm = nullptr;
    QRadioButton *r_da = nullptr;
    QGroupBox *GroupBox_tmsz = nullptr;
    QComboBox *Combo_font = nullptr;
    QComboBox *Combo_color = nullptr;
    QComboBox *Combo_size = nullptr;
    QComboBox *Combo_bjcolor = nullptr;
    QGroupBox *GroupBox_dasz = nullptr;
    QComboBox *Combo_dafont = nullptr;
    QComboBox *Combo_dacolor = nullptr;
    QComboBox *Combo_dasize = nullptr;
    QComboBox *Combo_dabjcolor = nullptr;
    QGroupBox *GroupBox_tupianti = nullptr;
    QGroupBox *GroupBox_duomeiti = nullptr;
    QPushButton *but_tptinputtm = nullptr; // 选择题目图片
    QPushButton *but_tptinputda = nullptr; // 选择答案图片
    QPushButton *but_duomeiti = nullptr;   // 选择题目内容
    QPushButton *but_play = nullptr;
    QPushButton *but_pause = nullptr;
    QPushButton *but_stop = nullptr;
    QPushButton *but_baocun = nullptr;
    QPushButton *but_exit = nullptr;
    QStackedWidget *PageControl1 = nullptr;
    ChoicePage *show_xuanzeti = nullptr;
    AnswerPage *show_wendati = nullptr;
    PicturePage *show_tupianti = nullptr;
    MatchingPage *show_lianxianti = nullptr;
    MediaPage *show_media = nullptr;

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
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class StyleList { Font, Size, Colour, Shadow };
    void styleChosen(bool answer, StyleList list);
    // The eight style lists show the styles the visible page's next save stores.
    void showStyles();
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
