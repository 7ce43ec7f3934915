#pragma once
// What the screens share for the whole run: the program folder, the settings files, the data module,
// the services, the screens themselves and the state that passes between screens.
#include "data/data_module.h"
#include "media/asset_paths.h"
#include "scoring/score_types.h"
#include "settings/settings_files.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

class Dialogs;
class MediaFactory;
class SlideShow;
class Spreadsheet;
class ShellOpen;
class OutputVolume;
class StageDisplay;
namespace judging {
class JudgeLink;
}

// The time of day and the pauses some screens make.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds on a steady clock that never jumps, unlike the time of day; for measuring durations.
    virtual qint64 steadyMs() const = 0;
    // Waits `ms` milliseconds on the user-interface thread without handling events.
    virtual void pause(int ms) = 0;
};

// Random numbers for the test scores and the lottery.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Reseeds from the clock.
    virtual void randomize() = 0;
    // A whole number from 0 to n - 1.
    virtual int below(int n) = 0;
};

struct Services {
    Dialogs *dialogs = nullptr;
    MediaFactory *media = nullptr;
    SlideShow *slides = nullptr;
    Spreadsheet *spreadsheet = nullptr;
    ShellOpen *shell = nullptr;
    OutputVolume *volume = nullptr;
    Clock *clock = nullptr;
    RandomSource *random = nullptr;
    judging::JudgeLink *judges = nullptr; // the judges' phones; null: scores are typed only
};

class Tfrm_main;
class Tshow_main;
class Tfrm_tmlr;
class Tfrm_tmlrxt;
class Tfrm_cssz;
class Tfrm_debug;
class Tfrm_banjiangjm;
class Tfrm_djs;
class Tfrm_xuanchuan;
class Tfrm_zjs;
class Tfrm_pfmain;
class Tfrm_tm;
class Tfrm_dfpm;
class Tfrm_xsjs;
class Tfrm_jz;
class Tfrm_cj;

// The screens, one instance each, filled in by start-up in its order.
struct Screens {
    Tfrm_main *frm_main = nullptr;
    Tshow_main *show_main = nullptr;
    Tfrm_tmlr *frm_tmlr = nullptr;
    Tfrm_tmlrxt *frm_tmlrxt = nullptr;
    Tfrm_cssz *frm_cssz = nullptr;
    Tfrm_debug *frm_debug = nullptr;
    Tfrm_banjiangjm *frm_banjiangjm = nullptr;
    Tfrm_djs *frm_djs = nullptr;
    Tfrm_xuanchuan *frm_xuanchuan = nullptr;
    Tfrm_zjs *frm_zjs = nullptr;
    Tfrm_pfmain *frm_pfmain = nullptr;
    Tfrm_tm *frm_tm = nullptr;
    Tfrm_dfpm *frm_dfpm = nullptr;
    Tfrm_xsjs *frm_xsjs = nullptr;
    Tfrm_jz *frm_jz = nullptr;
    Tfrm_cj *frm_cj = nullptr;
};

class AppContext {
public:
    AppContext(const QString &programFolder, Services services);
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    const AssetPaths paths;
    const SettingsFiles settings;
    TData *data = nullptr; // created by start-up in its place among the screens
    StageDisplay *stage = nullptr; // the projector the screens show on; null: the primary display, unscaled
    const Services services;
    Screens screens;

    Dialogs &dialogs() const { return *services.dialogs; }

    // Makes the screens start-up has left until the main menu is painted; does nothing once they exist.
    std::function<void()> completeStart;

    // State passed between screens; nothing of it is stored.
    QString current_issue;
    int entry_mode = 0;    // 1 add, 2 edit
    int current_round = 0; // 1..4 from the scoring screen, 5..7 from the leaderboard
    ScoringSettings scoring_settings;
    LeaderboardEntries leaderboard_entries;
    QStringList ranked_names;
};
