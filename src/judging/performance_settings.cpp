#include "performance_settings.h"

#include "settings/settings_files.h"
#include "settings/settings_keys.h"

#include <algorithm>
#include <cmath>

namespace judging {

namespace {
double number(const QString &text, double fallback)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : fallback;
}
} // namespace

Performance performanceFromSettings(const SettingsFiles &settings, int round, int position, const QString &number_,
                                    const QString &name)
{
    Performance p;
    p.round = round;
    p.position = position;
    p.number = number_;
    p.name = name;
    const IniFile config = settings.config();
    const QString decimals = config.read(keys::kScoring, keys::kDecimals, QString()).trimmed();
    p.decimals = decimals == QLatin1String("1") ? 1 : decimals == QLatin1String("3") ? 3 : 2;
    bool ok = false;
    const int judges = config.read(keys::kJudges, keys::kJudgeCount, QString()).trimmed().toInt(&ok);
    p.judges = ok ? std::clamp(judges, 0, kSeats) : 0;
    if (round >= 1 && round <= 4) {
        p.lowest = number(config.read(keys::kContest, keys::roundLowest(round), QString()), 0);
        p.highest = number(config.read(keys::kContest, keys::roundHighest(round), QString()), 10);
        if (p.lowest > p.highest)
            std::swap(p.lowest, p.highest);
    }
    return p;
}

} // namespace judging
