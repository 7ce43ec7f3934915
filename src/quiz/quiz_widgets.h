#pragma once
// The parts the quiz screen is built from: full-screen panels with lowered bevels, the board's number
// labels that take mouse presses, the yellow countdown boxes, and the picture that brings each new
// picture in with a transition.
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QPixmap>

class QTimer;

namespace quiz {

// A full-screen panel with a 2-pixel lowered outer and inner bevel; what it holds begins 4 pixels inside.
class BevelPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBevel = 4;
    BevelPanel(QWidget *parent, const QString &name, const QColor &ground = QColor(212, 208, 200));
    // The area inside the bevels, in the panel's coordinates.
    QRect inner() const { return rect().adjusted(kBevel, kBevel, -kBevel, -kBevel); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_ground;
};

// A tile number on the board: pressing any mouse button on it says so, with the modifiers held.
class TileLabel : public ShadowLabel {
    Q_OBJECT
public:
    TileLabel(QWidget *parent, const QString &name) : ShadowLabel(parent, name) {}

signals:
    void pressed(Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A yellow box without border holding a countdown caption in red Times New Roman with a black shadow.
class CountdownBox : public QWidget {
    Q_OBJECT
public:
    CountdownBox(QWidget *parent, const QString &boxName, const QString &labelName, const QRect &place, int pixelHeight,
                 const QString &caption);
    ShadowLabel *caption;
};

// The question picture: scaled to fit with its proportions kept, brought in with one of several transitions.
class TransitionPicture : public Picture {
    Q_OBJECT
public:
    enum Effect { Fade, WipeRight, WipeDown, Iris, Blinds, Split, EffectCount };
    static constexpr int kDurationMs = 700;

    TransitionPicture(QWidget *parent, const QString &name);
    // Starts bringing the picture now held in with `effect`.
    void startTransition(int effect);
    int effect() const { return m_effect; }
    bool inTransition() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer *m_timer;
    QElapsedTimer m_clock;
    int m_effect = Fade;
};

// The pictures built into the screen, shown until the program folder's files replace them.
QPixmap builtInTile();                       // a yellow oval, 170 x 115
QPixmap optionFrame(int option);             // option 0..5: the letter badge and its light bar, 470 x 110

} // namespace quiz
