#include "tfrm_banjiangjm.h"

Tfrm_banjiangjm::Tfrm_banjiangjm(AppContext &context)
    : PlaceholderScreen(context, QStringLiteral("frm_banjiangjm"), QStringLiteral("颁奖典礼"))
{
}
