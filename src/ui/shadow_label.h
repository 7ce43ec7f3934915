#pragma once
// A label of the show screens: text in a given font and colour, optionally with a shadow offset by a
// few pixels, on a transparent or a coloured background. Text too wide for the label (too tall, when it
// wraps) is drawn smaller until it fits, so the audience never sees a number cut off. Screen readers and
// other accessibility clients read its text as they read Qt's own labels.
#include <QColor>
#include <QFont>
#include <QWidget>

#include <optional>

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

    // The font the text is drawn in: the label's own, or smaller where the text would not fit.
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void textChanged();

    mutable std::optional<QFont> m_fitted; // cached until the text, the font or the size changes
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
// Starts reading the system's fonts and the fallbacks of `first` for the scripts of `sample`, the type and
// text start-up draws first, on a thread of their own, so that text finds them ready instead of waiting
// for them. After the substitutions.
void startFontConfiguration(const QFont &first, const QString &sample);
