#pragma once
// The one place that catches: every entry from the event loop (a key, a click, a tick, a show handler)
// runs its body through guarded(), which reports a failure in the standard error box and returns.
// What was done before the failure stays done.
#include "dialogs.h"
#include "settings/app_error.h"

#include <exception>

template <typename Fn>
void guarded(Dialogs &dialogs, QWidget *parent, Fn &&body) noexcept
{
    try {
        body();
    } catch (const AppError &e) {
        dialogs.error(parent, e.message());
    } catch (const std::exception &e) {
        dialogs.error(parent, QString::fromLocal8Bit(e.what()));
    }
}
