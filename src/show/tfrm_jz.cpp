#include "tfrm_jz.h"

Tfrm_jz::Tfrm_jz(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_jz"), QStringLiteral("静止画面"))
{
}
