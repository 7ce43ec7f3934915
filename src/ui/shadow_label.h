#pragma once
// A label of the show screens: text in a given font and colour, optionally with a shadow offset by a
// few pixels, on a transparent or a coloured background.
#include <QColor>
#include <QFont>
#include <QWidget>

class ShadowLabel : public QWidget {
    Q_OBJECT
public:
    explicit ShadowLabel(QWidget *parent = nullptr, const QString &name = {});

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    void setTextColour(const QColor &colour);
    QColor textColour() const { return m_colour; }
    // A shadow `dx`, `dy` pixels from the text; an invalid colour means none.
    void setShadow(const QColor &colour, int dx, int dy);
    // An invalid colour means transparent.
    void setBackground(const QColor &colour);
    QColor background() const { return m_background; }
    void setAlignment(Qt::Alignment alignment);
    void setWordWrap(bool wrap);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QColor m_colour = Qt::black;
    QColor m_shadow;
    int m_dx = 0;
    int m_dy = 0;
    QColor m_background;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_wrap = false;
};

// A font by family and pixel height, as the screens give them ("bold 35-pixel 黑体").
QFont stageFont(const QString &family, int pixelSize, bool bold = false);

// Maps the font names of the screens to installed fonts: 黑体 to Noto Sans CJK SC, 宋体 to Noto Serif CJK SC,
// Times New Roman to Liberation Serif.
void installFontSubstitutions();
