#pragma once
// The 题库维护 screen.
#include "ui/placeholder_screen.h"

class Tfrm_tmlr : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_tmlr(AppContext &context);
};
