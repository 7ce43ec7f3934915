#include "tfrm_tmlrxt.h"

Tfrm_tmlrxt::Tfrm_tmlrxt(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_tmlrxt"), QStringLiteral("题目录入"))
{
}
