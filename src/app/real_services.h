#pragma once
// The production services: real message boxes, players, office programs, clock and random source.
#include "media/media_factory.h"
#include "media/office.h"
#include "media/qt_players.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    void pause(int ms) override;
};

class SystemRandom : public RandomSource {
public:
    void randomize() override;
    int below(int n) override;

private:
    quint64 m_state = 0x9E3779B97F4A7C15ull;
};

class RealServices {
public:
    RealServices();
    Services services();

private:
    WidgetDialogs m_dialogs;
    AppOutputVolume m_volume;
    QtMediaFactory m_media;
    LibreOfficeSlideShow m_slides;
    XlsxSpreadsheet m_spreadsheet;
    DesktopShellOpen m_shell;
    SystemClock m_clock;
    SystemRandom m_random;
};
