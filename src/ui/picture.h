#pragma once
// A picture on a screen: drawn at its top left, or stretched to fill the widget, or centred.
#include <QPixmap>
#include <QWidget>

// A transparent canvas of the stage's size for a screen's own drawn backdrop, with `dpr` device pixels
// per stage pixel, so the drawing is as sharp as the display showing it.
QPixmap stageCanvas(qreal dpr);

// A blue arrow pointing up or down, `size` pixels square, for the move-up and move-down buttons.
QPixmap moveArrow(bool up, int size);

// A picture box. A stretched picture is made to fit its box once when loaded; a picture exactly twice
// the size of an unstretched box is shown at the box's size; on a scaled stage any other unstretched
// picture is held at the display's resolution. Each paint is then a plain copy.
class Picture : public QWidget {
    Q_OBJECT
public:
    explicit Picture(QWidget *parent = nullptr, const QString &name = {});

    // Loads a JPEG, BMP, GIF or PNG file; throws AppError when it is missing or unreadable.
    void loadFile(const QString &path);
    // Loads the file when it exists; returns whether it did. A missing file leaves the picture as it was.
    bool loadIfExists(const QString &path);
    void setPixmap(const QPixmap &pixmap);
    void clear();
    const QPixmap &pixmap() const { return m_pixmap; }
    bool isEmpty() const { return m_pixmap.isNull(); }

    void setStretch(bool stretch);
    void setCentered(bool centered);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_pixmap;
    bool m_stretch = false;
    bool m_centered = false;
};
