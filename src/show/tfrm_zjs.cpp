#include "tfrm_zjs.h"

Tfrm_zjs::Tfrm_zjs(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_zjs"), QStringLiteral("正计时"))
{
}
