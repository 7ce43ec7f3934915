#include "tfrm_debug.h"

Tfrm_debug::Tfrm_debug(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_debug"), QStringLiteral("键盘测试"))
{
}
