#pragma once
// The 评分 screen.
#include "ui/placeholder_screen.h"

class Tfrm_pfmain : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_pfmain(AppContext &context);
};
