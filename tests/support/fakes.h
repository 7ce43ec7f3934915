#pragma once
// Services for tests: they record what the screens asked for and answer as the test says.
#include "media/media_interfaces.h"
#include "settings/app_error.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/judge_link.h"

#include <QFileInfo>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QWidget>

#include <array>

#include <functional>

class FakeDialogs : public Dialogs {
public:
    void information(QWidget *, const QString &text) override { informations << text; }
    void error(QWidget *, const QString &text) override
    {
        errors << text;
        if (onError)
            onError(text); // what happens while the box is up
    }
    bool confirm(QWidget *, const QString &text) override
    {
        confirmations << text;
        return confirmAnswers.isEmpty() ? confirmDefault : confirmAnswers.dequeue();
    }
    QString openFile(QWidget *, const QString &startFolder, const QString &) override
    {
        fileFolders << startFolder;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
    QString saveFile(QWidget *, const QString &startFolder, const QString &) override
    {
        fileFolders << startFolder;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override
    {
        if (fontAnswers.isEmpty())
            return std::nullopt;
        return fontAnswers.dequeue();
    }
    std::optional<QColor> chooseColour(QWidget *, const QColor &) override
    {
        if (colourAnswers.isEmpty())
            return std::nullopt;
        return colourAnswers.dequeue();
    }

    QStringList informations, errors, confirmations, fileFolders;
    std::function<void(const QString &)> onError;
    QQueue<bool> confirmAnswers;
    bool confirmDefault = true;
    QQueue<QString> fileAnswers;
    QQueue<QFont> fontAnswers;
    QQueue<QColor> colourAnswers;
};

// Every player call of every fake player, as "name:call:argument" lines.
class MediaLog {
public:
    void add(const QString &line) { lines << line; }
    QStringList lines;
};

class FakeMediaPlayer : public QObject, public MediaPlayer {
public:
    FakeMediaPlayer(MediaLog &log, QObject *parent) : QObject(parent), m_log(log) {}
    void setFileName(const QString &path) override { fileName = path; record(QStringLiteral("setFileName"), path); }
    void open() override
    {
        record(QStringLiteral("open"), fileName);
        if (!failOpen.isEmpty())
            throw AppError(failOpen);
        opened = true;
    }
    void play() override { playing = true; record(QStringLiteral("play"), fileName); }
    void stop() override { playing = false; record(QStringLiteral("stop"), {}); }
    void pause() override { record(QStringLiteral("pause"), {}); }
    void close() override { playing = false; opened = false; record(QStringLiteral("close"), {}); }
    bool isPlaying() const override { return playing; }
    void setDisplay(QWidget *surface, const QRect &rect) override
    {
        display = surface;
        displayRect = rect;
        record(QStringLiteral("setDisplay"), {});
    }

    QString fileName;
    bool opened = false;
    bool playing = false;
    QString failOpen;
    QWidget *display = nullptr;
    QRect displayRect;

private:
    void record(const QString &call, const QString &arg)
    {
        const QString owner = parent() ? parent()->objectName() : QString();
        m_log.add(owner + QLatin1Char(':') + call + QLatin1Char(':') + arg);
    }
    MediaLog &m_log;
};

class FakeClipPlayer : public QObject, public ClipPlayer {
public:
    FakeClipPlayer(MediaLog &log, QWidget *parent) : QObject(parent), m_log(log), m_surface(new QWidget(parent)) {}
    QWidget *widget() override { return m_surface; }
    void setUrl(const QString &path) override { url = path; m_log.add(QStringLiteral("clip:setUrl:") + path); }
    void play() override { m_log.add(QStringLiteral("clip:play:") + url); }
    void close() override { m_log.add(QStringLiteral("clip:close:")); }
    QString url;

private:
    MediaLog &m_log;
    QWidget *m_surface;
};

class FakeFlashPlayer : public QObject, public FlashPlayer {
public:
    FakeFlashPlayer(MediaLog &log, QWidget *parent) : QObject(parent), m_log(log), m_surface(new QWidget(parent)) {}
    QWidget *widget() override { return m_surface; }
    void setMovie(const QString &path) override { movie = path; m_log.add(QStringLiteral("flash:setMovie:") + path); }
    void play() override { m_log.add(QStringLiteral("flash:play:") + movie); }
    void stop() override { m_log.add(QStringLiteral("flash:stop:")); }
    void stopPlay() override { m_log.add(QStringLiteral("flash:stopPlay:")); }
    QString movie;

private:
    MediaLog &m_log;
    QWidget *m_surface;
};

class FakeMediaFactory : public MediaFactory {
public:
    MediaPlayer *createMediaPlayer(QObject *parent) override
    {
        auto *p = new FakeMediaPlayer(log, parent);
        mediaPlayers << p;
        return p;
    }
    ClipPlayer *createClipPlayer(QWidget *parent) override { return new FakeClipPlayer(log, parent); }
    FlashPlayer *createFlashPlayer(QWidget *parent) override { return new FakeFlashPlayer(log, parent); }

    MediaLog log;
    QList<FakeMediaPlayer *> mediaPlayers;
};

class FakeSlideShow : public SlideShow {
public:
    void run(const QString &path) override
    {
        if (!failWith.isEmpty())
            throw AppError(failWith);
        shows << path;
    }
    QStringList shows;
    QString failWith;
};

class FakeSpreadsheet : public Spreadsheet {
public:
    void show(const QString &caption, const QList<SheetCell> &cells) override
    {
        if (!failWith.isEmpty())
            throw AppError(failWith);
        lastCaption = caption;
        lastCells = cells;
        ++count;
    }
    QString lastCaption;
    QList<SheetCell> lastCells;
    int count = 0;
    QString failWith;
};

class FakeShellOpen : public ShellOpen {
public:
    void open(const QString &path) override { opened << path; }
    bool hasViewer(const QString &path) const override { return !withoutViewer.contains(QFileInfo(path).suffix()); }
    QStringList opened;
    QStringList withoutViewer; // file suffixes ("chm", "html") the desktop has no program for
};

class FakeVolume : public OutputVolume {
public:
    void setVolume(int value) override { m_value = value; }
    int volume() const override { return m_value; }

private:
    int m_value = 65535;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return current; }
    qint64 steadyMs() const override { return steady; }
    void pause(int ms) override { paused += ms; }
    QDateTime current = QDateTime(QDate(2026, 1, 1), QTime(20, 0));
    qint64 steady = 0;
    int paused = 0;
};

// Gives the scripted numbers in turn (each taken modulo n), then zeros.
class FakeRandom : public RandomSource {
public:
    void randomize() override { ++seeds; }
    int below(int n) override
    {
        if (n <= 0)
            return 0;
        return script.isEmpty() ? 0 : script.dequeue() % n;
    }
    QQueue<int> script;
    int seeds = 0;
};

// The judges' phones as a test drives them: records every call of the screens, and lets the test set the
// seats' states, send scores and ask for a second device.
class FakeJudgeLink : public judging::JudgeLink {
public:
    bool start(const QString &address, quint16 port, QString *error) override
    {
        starts << QStringLiteral("%1:%2").arg(address).arg(port);
        if (!failStart.isEmpty()) {
            if (error)
                *error = failStart;
            return false;
        }
        setRunning(true);
        return true;
    }
    void stop() override
    {
        ++stops;
        setRunning(false);
    }
    bool isRunning() const override { return running; }
    judging::SeatInfo seat(int seat) const override
    {
        return seat >= 1 && seat <= judging::kSeats ? seats[std::size_t(seat - 1)] : judging::SeatInfo{};
    }
    QString joinUrl(int seat) const override
    {
        return QStringLiteral("http://192.0.2.7:8765/judge#t=%1-%2").arg(seat).arg(tokenSalt);
    }
    QString newCode(int seat) override
    {
        codeRequests << seat;
        return QStringLiteral("%1").arg(100000 + seat * 1111 + codeRequests.size(), 6, 10, QLatin1Char('0'));
    }
    int codeLifetimeSeconds() const override { return 180; }
    void resetSeat(int seat) override
    {
        resets << seat;
        ++tokenSalt;
        setSeat(seat, judging::SeatState::Unpaired);
    }
    void renewTokens() override
    {
        ++renewals;
        ++tokenSalt;
        for (judging::SeatInfo &s : seats)
            s = {};
        emit seatsChanged();
    }
    void answerSecondDevice(int seat, bool accept) override
    {
        secondAnswers << QStringLiteral("%1:%2").arg(seat).arg(accept ? QStringLiteral("yes") : QStringLiteral("no"));
        if (seat >= 1 && seat <= judging::kSeats)
            seats[std::size_t(seat - 1)].secondDeviceWaiting = false;
    }
    void setPerformance(const judging::Performance &p) override
    {
        performances << p;
        current = p;
    }
    judging::Performance performance() const override { return current; }
    void confirm(const QStringList &values) override { confirmations << values; }

    // What the test does as the phones and the server.
    void setRunning(bool on)
    {
        if (on == running)
            return;
        running = on;
        emit runningChanged(on);
    }
    void setSeat(int seat, judging::SeatState state, const QString &device = {})
    {
        judging::SeatInfo &s = seats[std::size_t(seat - 1)];
        s.state = state;
        s.device = device;
        emit seatsChanged();
    }
    void send(int seat, const QString &value) { emit scoreArrived(seat, value); }
    void askSecondDevice(int seat)
    {
        seats[std::size_t(seat - 1)].secondDeviceWaiting = true;
        emit seatsChanged();
        emit secondDeviceAsks(seat);
    }

    bool running = false;
    QString failStart;
    QStringList starts;
    int stops = 0;
    std::array<judging::SeatInfo, judging::kSeats> seats{};
    int tokenSalt = 0;
    QList<int> codeRequests;
    QList<int> resets;
    int renewals = 0;
    QStringList secondAnswers;
    QList<judging::Performance> performances;
    judging::Performance current;
    QList<QStringList> confirmations;
};

// All fakes together, as the services of an application under test.
struct FakeServices {
    FakeDialogs dialogs;
    FakeMediaFactory media;
    FakeSlideShow slides;
    FakeSpreadsheet spreadsheet;
    FakeShellOpen shell;
    FakeVolume volume;
    FakeClock clock;
    FakeRandom random;
    FakeJudgeLink judges;
    bool withPhones = true; // false: a program without the judges' phones

    Services services()
    {
        Services s;
        s.dialogs = &dialogs;
        s.media = &media;
        s.slides = &slides;
        s.spreadsheet = &spreadsheet;
        s.shell = &shell;
        s.volume = &volume;
        s.clock = &clock;
        s.random = &random;
        s.judges = withPhones ? &judges : nullptr;
        return s;
    }
};
