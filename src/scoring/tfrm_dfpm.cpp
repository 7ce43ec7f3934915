#include "tfrm_dfpm.h"

Tfrm_dfpm::Tfrm_dfpm(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_dfpm"), QStringLiteral("得分排行榜"))
{
}
