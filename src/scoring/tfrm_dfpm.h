#pragma once
// The 得分排行榜 screen.
#include "ui/placeholder_screen.h"

class Tfrm_dfpm : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_dfpm(AppContext &context);
};
