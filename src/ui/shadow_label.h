#pragma once
// A label of the show screens: text in a given font and colour, optionally with a shadow offset by a
// few pixels, on a transparent or a coloured background. Text too wide for the label (too tall, when it
// wraps) is drawn smaller until it fits, so the audience never sees a number cut off. Screen readers and
// other accessibility clients read its text as they read Qt's own labels.
#include <QColor>
#include <QFont>
#include <QWidget>

#include <future>
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

    // For the label start-up shows first: draws it as it now stands on the font thread, over `beneath` (what
    // lies under the label, at its size in device pixels), so its first paint copies the picture instead of
    // waiting for the type to load here. A change before that paint (text, font, colours, size) makes the
    // paint draw as usual.
    void drawAhead(const QImage &beneath);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void textChanged();

    // Everything the picture of the label depends on.
    struct Look {
        QString text;
        QFont font;
        QColor colour, shadow, background;
        int dx = 0, dy = 0;
        Qt::Alignment alignment;
        bool wrap = false;
        QSize size;
        qreal dpr = 1;
        bool operator==(const Look &) const = default;
    };
    Look look() const;
    static QFont fitted(const Look &look, const QFont &font);
    static void draw(QPainter &p, const Look &look, const QFont &font);

    Look m_aheadLook;
    std::future<QImage> m_ahead; // the picture drawn ahead, until the first paint takes it

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
// Starts reading the font configuration on a thread of its own; called first thing in the program, before Qt
// is up, as reading it takes longer than anything else before the first paint.
void beginFontConfiguration();
// Tells that thread, now that Qt is up, the type and text start-up draws first: it reads the font list and
// the fallbacks of `first` for the scripts of `sample`, so that text finds them ready instead of waiting
// for them; a label drawn ahead by then is drawn there too. After the substitutions.
void startFontConfiguration(const QFont &first, const QString &sample);
