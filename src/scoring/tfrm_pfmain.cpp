#include "tfrm_pfmain.h"

Tfrm_pfmain::Tfrm_pfmain(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_pfmain"), QStringLiteral("评分"))
{
}
