#pragma once
// The 参数设置 screen.
#include "ui/placeholder_screen.h"

class Tfrm_cssz : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_cssz(AppContext &context);
};
