#pragma once
// The 正计时 screen.
#include "ui/placeholder_screen.h"

class Tfrm_zjs : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_zjs(AppContext &context);
};
