#include "tfrm_tmlr.h"

Tfrm_tmlr::Tfrm_tmlr(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_tmlr"), QStringLiteral("题库维护"))
{
}
