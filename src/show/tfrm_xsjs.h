#pragma once
// The 选手介绍 screen.
#include "ui/placeholder_screen.h"

class Tfrm_xsjs : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_xsjs(AppContext &context);
};
