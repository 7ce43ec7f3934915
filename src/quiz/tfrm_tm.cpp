#include "tfrm_tm.h"

Tfrm_tm::Tfrm_tm(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_tm"), QStringLiteral("选题"))
{
}
