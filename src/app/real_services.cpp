#include "real_services.h"

#include <QThread>

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::pause(int ms)
{
    QThread::msleep(ulong(std::max(0, ms)));
}

void SystemRandom::randomize()
{
    m_state = quint64(QDateTime::currentMSecsSinceEpoch()) * 0x9E3779B97F4A7C15ull + 1;
}

int SystemRandom::below(int n)
{
    if (n <= 0)
        return 0;
    // splitmix64: small, fast and good enough for test scores and draws.
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return int(z % quint64(n));
}

RealServices::RealServices() : m_media(m_dialogs, m_volume) {}

Services RealServices::services()
{
    Services s;
    s.dialogs = &m_dialogs;
    s.media = &m_media;
    s.slides = &m_slides;
    s.spreadsheet = &m_spreadsheet;
    s.shell = &m_shell;
    s.volume = &m_volume;
    s.clock = &m_clock;
    s.random = &m_random;
    return s;
}
