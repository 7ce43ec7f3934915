#include "tfrm_cj.h"

Tfrm_cj::Tfrm_cj(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_cj"), QStringLiteral("抽奖"))
{
}
