#include "tfrm_djs.h"

Tfrm_djs::Tfrm_djs(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_djs"), QStringLiteral("倒计时"))
{
}
