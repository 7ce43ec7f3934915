#pragma once
// The outside components the screens drive: players, slide shows, the spreadsheet export, shell open,
// the output volume, the clock and the random source. Production uses the real ones (media_factory.h);
// tests use fakes that record calls.
#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>

class QWidget;
class QObject;

// A player decodes on its own, so a file may turn out unplayable after play() has returned. A screen that
// wants to decide what happens then (the quiz goes on with its next question) sets a handler; without one
// the player reports the failure in the standard error box itself.
class PlaybackFailures {
public:
    using Handler = std::function<void(const QString &path, const QString &text)>;
    void onFailure(Handler handler) { m_failureHandler = std::move(handler); }
    // Hands a failure of `path` to the handler; false when there is none.
    bool failed(const QString &path, const QString &text) const
    {
        if (!m_failureHandler)
            return false;
        m_failureHandler(path, text);
        return true;
    }

protected:
    ~PlaybackFailures() = default;

private:
    Handler m_failureHandler;
};

// The sound and music player of a screen: one file at a time, playing on its own.
class MediaPlayer : public PlaybackFailures {
public:
    virtual ~MediaPlayer() = default;
    virtual void setFileName(const QString &path) = 0;
    // Opens the file set last (closing what was open). Throws with the player's text when it cannot.
    virtual void open() = 0;
    // Starts from the beginning and returns at once.
    virtual void play() = 0;
    virtual void stop() = 0;
    // Pauses, or resumes when paused.
    virtual void pause() = 0;
    virtual void close() = 0;
    virtual bool isPlaying() const = 0;
    // Shows video in `surface`, in `rect` of that widget; a null surface plays sound only.
    virtual void setDisplay(QWidget *surface, const QRect &rect) = 0;
};

// The clip player embedded in the quiz screen: plays a clip by URL; a clip it cannot decode goes to the
// failure handler, and without one it reports nothing.
class ClipPlayer : public PlaybackFailures {
public:
    virtual ~ClipPlayer() = default;
    virtual QWidget *widget() = 0;
    virtual void setUrl(const QString &path) = 0;
    virtual void play() = 0;
    virtual void close() = 0;
};

// The Flash movie player embedded in a screen: a missing or broken movie simply does not play.
class FlashPlayer {
public:
    virtual ~FlashPlayer() = default;
    virtual QWidget *widget() = 0;
    // The movie's full path; the next play() starts it.
    virtual void setMovie(const QString &path) = 0;
    virtual void play() = 0;
    // Halts the movie; its frame stays.
    virtual void stop() = 0;
    // Halts the movie for good before the panel shows something else.
    virtual void stopPlay() = 0;
};

// Runs a presentation file as a full-screen slide show. Throws when the file or the program is missing.
class SlideShow {
public:
    virtual ~SlideShow() = default;
    virtual void run(const QString &path) = 0;
};

// One filled cell of an exported sheet (row and column from 1).
struct SheetCell {
    int row;
    int column;
    QString text;
};

// Hands the operator a new, unsaved spreadsheet with the cells filled.
// Throws "无法创建Xls文件，请确认是否安装EXCEL" when no spreadsheet program can take it.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    virtual void show(const QString &caption, const QList<SheetCell> &cells) = 0;
};

// Opens a document with the desktop's viewer; the result is not looked at.
class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QString &path) = 0;
    // Whether the desktop has a program for the file's type, so that open() shows it.
    virtual bool hasViewer(const QString &) const { return true; }
};

// The audio output volume, 0..65535 for both channels.
class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    virtual void setVolume(int value) = 0;
    virtual int volume() const = 0;
};

// Creates the players a screen owns; the widget-based ones are children of `parent`.
class MediaFactory {
public:
    virtual ~MediaFactory() = default;
    virtual MediaPlayer *createMediaPlayer(QObject *parent) = 0;
    virtual ClipPlayer *createClipPlayer(QWidget *parent) = 0;
    virtual FlashPlayer *createFlashPlayer(QWidget *parent) = 0;
};
