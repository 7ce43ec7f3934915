#pragma once
// The performance the phones are shown, with its range, decimals and judges as the settings hold them:
// "第一轮最低分" .. "第四轮最高分" ("参数设置"), "小数点" ("评分设置") and "评委个数" ("评委设置").
#include "ui/judge_link.h"

class SettingsFiles;

namespace judging {

// A missing or unreadable range is 0 to 10; a lowest above the highest is taken the other way round;
// decimals other than 1, 2 or 3 are 2; the judges are 0 to 12.
Performance performanceFromSettings(const SettingsFiles &settings, int round, int position, const QString &number,
                                    const QString &name);

} // namespace judging
