#pragma once
// The production services: real message boxes, players, office programs, clock, random source and the
// server for the judges' phones.
#include "judging/judge_server.h"
#include "media/media_factory.h"
#include "media/office.h"
#include "media/qt_players.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 steadyMs() const override { return m_steady.elapsed(); }
    void pause(int ms) override;

private:
    QElapsedTimer m_steady = [] { QElapsedTimer t; t.start(); return t; }();
};

class SystemRandom : public RandomSource {
public:
    void randomize() override;
    int below(int n) override;

private:
    QRandomGenerator m_generator = QRandomGenerator::securelySeeded();
};

class RealServices {
public:
    RealServices();
    Services services();
    // The judges' server reads the judges' names and writes its audit through the running application.
    void attach(AppContext &context);
    // Turns the server off and writes its audit before the application and its database go.
    void detach();

private:
    WidgetDialogs m_dialogs;
    AppOutputVolume m_volume;
    QtMediaFactory m_media;
    LibreOfficeSlideShow m_slides;
    XlsxSpreadsheet m_spreadsheet;
    DesktopShellOpen m_shell;
    SystemClock m_clock;
    SystemRandom m_random;
    judging::JudgeServer m_judges; // off until the operator turns it on
};
