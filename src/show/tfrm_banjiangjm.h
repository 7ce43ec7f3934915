#pragma once
// The 颁奖典礼 screen.
#include "ui/placeholder_screen.h"

class Tfrm_banjiangjm : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_banjiangjm(AppContext &context);
};
