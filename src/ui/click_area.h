#pragma once
// A transparent area without text that reports clicks and the mouse entering and leaving it.
#include <QWidget>

class ClickArea : public QWidget {
    Q_OBJECT
public:
    explicit ClickArea(QWidget *parent = nullptr, const QString &name = {});

signals:
    void clicked();
    void entered();
    void left();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
