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
    m_generator.seed(QRandomGenerator::system()->generate() ^ quint32(QDateTime::currentMSecsSinceEpoch()));
}

int SystemRandom::below(int n)
{
    if (n <= 0)
        return 0;
    // Every value from 0 to n - 1 equally likely: raw values in the incomplete last block of n are
    // drawn again, so a lottery favours no entry.
    const quint32 range = quint32(n);
    const quint32 incomplete = quint32(0) - range; // 2^32 - n, taken modulo n below
    const quint32 floor = incomplete % range;
    for (;;) {
        const quint32 value = m_generator.generate();
        if (value >= floor)
            return int(value % range);
    }
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
    s.judges = &m_judges;
    return s;
}

void RealServices::attach(AppContext &context)
{
    m_judges.attach(&context.settings, &context.data->ADOConnection1);
}

void RealServices::detach()
{
    m_judges.stop();
    m_judges.attach(nullptr, nullptr);
}
