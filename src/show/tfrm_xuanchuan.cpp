#include "tfrm_xuanchuan.h"

Tfrm_xuanchuan::Tfrm_xuanchuan(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_xuanchuan"), QStringLiteral("宣传口号"))
{
}
