#include "tshow_main.h"

Tshow_main::Tshow_main(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("show_main"), QStringLiteral("比赛现场"))
{
}
