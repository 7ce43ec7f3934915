#pragma once
// The 键盘测试 screen.
#include "ui/placeholder_screen.h"

class Tfrm_debug : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_debug(AppContext &context);
};
