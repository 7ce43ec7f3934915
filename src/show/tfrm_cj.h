#pragma once
// The 抽奖 screen.
#include "ui/placeholder_screen.h"

class Tfrm_cj : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_cj(AppContext &context);
};
