#include "guard.h"

#include <QStringList>

void reportError(Dialogs &dialogs, QWidget *parent, const QString &text)
{
    // The texts of the boxes open now; a box runs its own event loop, so timers go on meanwhile.
    static QStringList open;
    if (open.contains(text))
        return;
    open << text;
    struct Closed {
        const QString &text;
        ~Closed() { open.removeOne(text); }
    } closed{text};
    dialogs.error(parent, text);
}
