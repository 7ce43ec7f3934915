#pragma once
// The 静止画面 screen.
#include "ui/placeholder_screen.h"

class Tfrm_jz : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_jz(AppContext &context);
};
