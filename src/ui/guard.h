#pragma once
// The one place that catches: every entry from the event loop (a key, a click, a tick, a show handler)
// runs its body through guarded(), which reports a failure in the standard error box and returns.
// What was done before the failure stays done.
#include "dialogs.h"
#include "settings/app_error.h"
#include "settings/ini_file.h"

#include <exception>

// Shows the standard error box, unless a box with the same text is open already: a timer that fails on
// every tick while the box waits for the operator must not pile boxes up.
void reportError(Dialogs &dialogs, QWidget *parent, const QString &text);

template <typename Fn>
void guarded(Dialogs &dialogs, QWidget *parent, Fn &&body) noexcept
{
    try {
        // One operation reads each settings file once, however many keys it reads.
        const IniFile::ReadScope settingsRead;
        body();
    } catch (const AppError &e) {
        reportError(dialogs, parent, e.message());
    } catch (const std::exception &e) {
        reportError(dialogs, parent, QString::fromLocal8Bit(e.what()));
    }
}
