#pragma once
// The projector's test pattern: the stage outline, its centre, a grid over the 1024 x 768 stage and a
// colour bar, with the display's name and size, shown on the stage display until Esc.
#include <QWidget>

class StageDisplay;

class StagePattern : public QWidget {
    Q_OBJECT
public:
    explicit StagePattern(StageDisplay &stage);

    // Shows the pattern on the stage, above every screen; Esc or a click closes it.
    void showOnStage();

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QString displayText() const; // the display's name and size and the stage's scale

    StageDisplay &m_stage;
};
