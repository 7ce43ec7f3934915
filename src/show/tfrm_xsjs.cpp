#include "tfrm_xsjs.h"

Tfrm_xsjs::Tfrm_xsjs(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_xsjs"), QStringLiteral("选手介绍"))
{
}
