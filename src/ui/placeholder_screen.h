#pragma once
// A screen whose content is still to come: its title on a plain stage, closed with Esc.
#include "stage_window.h"

class PlaceholderScreen : public StageWindow {
    Q_OBJECT
public:
    PlaceholderScreen(AppContext &context, const QString &instanceName, const QString &title);

protected:
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};
