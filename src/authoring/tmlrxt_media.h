#pragma once
// The picture page 图片题维护界面 and the multimedia page 多媒体题维护界面 of the entry screen: the files
// chosen for a question, their previews, and the bare names the bank stores.
#include "media/asset_paths.h"

#include <QWidget>

class AppContext;
class FlashPlayer;
class MediaPlayer;
class Picture;
class QLabel;

// Question and answer pictures, one shown at a time by the side.
class PicturePage : public QWidget {
    Q_OBJECT
public:
    PicturePage(QWidget *parent, AppContext &context);

    Picture *Image_tpttm;
    Picture *Image_tptda;
    // Full paths chosen in this visit; empty when none was chosen or the dialog was cancelled.
    QString chosenQuestion;
    QString chosenAnswer;

    void forget();
    void showSide(bool question);
    void chooseQuestion(QWidget *dialogParent);
    void chooseAnswer(QWidget *dialogParent);
    // A stored question: the answer picture first, then the question picture, each said when missing.
    void load(const QString &question, const QString &answer, QWidget *dialogParent);
    // The bare names to store. The files are left where they lie: the organiser puts them in their folders,
    // where the quiz looks for them by name.
    QString questionName() const;
    QString answerName() const;

private:
    AppContext &m_context;
};

// The play area with the media player and the Flash player.
class MediaPage : public QWidget {
    Q_OBJECT
public:
    MediaPage(QWidget *parent, AppContext &context);

    QWidget *Panel_media;
    QLabel *caption;
    MediaPlayer *Media;
    FlashPlayer *Flash1;
    QString chosenFile; // full path chosen in this visit
    QString media_ext;  // extension of the file last chosen or loaded, at most five characters

    void forget() { chosenFile.clear(); }
    void choose(QWidget *dialogParent);
    void load(const QString &name);
    void play();
    void pause();
    void stop();
    // Ends any preview: the media player closed, the Flash player stopped and hidden.
    void stopPreview();
    void hideFlash();
    // Leaving the screen: the media player closed and the Flash player stopped.
    void leave();
    // The bare name to store; the file is left where it lies.
    QString fileName() const;

private:
    void preview(const QString &path);
    void playFlash(const QString &path);

    AppContext &m_context;
    assets::MediaKind m_open = assets::MediaKind::None; // the kind being previewed
};
