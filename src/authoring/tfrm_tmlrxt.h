#pragma once
// The 题目录入 screen.
#include "ui/placeholder_screen.h"

class Tfrm_tmlrxt : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_tmlrxt(AppContext &context);
};
