#pragma once
// The 比赛现场 screen.
#include "ui/placeholder_screen.h"

class Tshow_main : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tshow_main(AppContext &context);
};
