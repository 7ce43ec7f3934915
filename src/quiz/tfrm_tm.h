#pragma once
// The 选题 screen.
#include "ui/placeholder_screen.h"

class Tfrm_tm : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit Tfrm_tm(AppContext &context);
};
