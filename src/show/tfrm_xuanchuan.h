#pragma once
// The 宣传口号 screen.
#include "ui/placeholder_screen.h"

class Tfrm_xuanchuan : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_xuanchuan(AppContext &context);
};
