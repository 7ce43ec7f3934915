#pragma once
// The 倒计时 screen.
#include "ui/placeholder_screen.h"

class Tfrm_djs : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_djs(AppContext &context);
};
