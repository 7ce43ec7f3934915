#include "tfrm_cssz.h"

Tfrm_cssz::Tfrm_cssz(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_cssz"), QStringLiteral("参数设置"))
{
}
