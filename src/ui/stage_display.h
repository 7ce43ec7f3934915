#pragma once
// The display the stage goes to (the projector) and how the stage sits on it. Scaling works through the
// display's own scale factor, so text, lines and pictures are drawn at the display's resolution while
// every screen keeps its 1024 x 768 stage coordinates. Bars beside the stage are black windows.
// The choice lives in config.ini; a display that is gone falls back to the primary one with a message,
// and displays added or removed during the show move the open screens at once.
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

class QScreen;
class QWidget;
class SettingsFiles;

struct StageChoice {
    QString display;   // the display's name; empty for the primary display
    bool scale = true; // false: 1024 x 768 at the display's top-left corner, maximised screens fill it

    static StageChoice read(const SettingsFiles &settings);
    void write(const SettingsFiles &settings) const;
};

class StageDisplay : public QObject {
    Q_OBJECT
public:
    // `report` tells the operator of a fallback to the primary display.
    explicit StageDisplay(std::function<void(const QString &)> report = {});
    ~StageDisplay() override;

    void apply(const StageChoice &choice);
    const StageChoice &choice() const { return m_choice; }

    QScreen *screen() const;
    qreal scale() const { return m_scale; }
    bool scaled() const { return m_choice.scale; }
    // In logical coordinates: the stage, and the whole display (what maximised screens fill unscaled).
    QRect stageRect() const;
    QRect displayRect() const;

    // Shows the black bars beside or above the stage where it leaves the display uncovered; called as a
    // screen shows.
    void showBars();

    // "HDMI-1  1920 x 1080" with the display's own pixels.
    static QString describe(const QScreen *screen);
    static QSize nativeSize(const QScreen *screen);

    // The message for a chosen display that is not connected.
    static QString fallbackText(const QString &name);

signals:
    // The stage moved to another display or changed its size: open screens take their places again.
    void moved();

private:
    void choose();
    void setFactor(QScreen *screen, qreal factor);

    StageChoice m_choice;
    QPointer<QScreen> m_screen;
    QPointer<QScreen> m_factorScreen; // the display whose scale factor this class set
    qreal m_scale = 1.0;
    std::unique_ptr<QWidget> m_bars[2]; // left and right, or top and bottom
    std::function<void(const QString &)> m_report;
    QString m_reportedMissing;
};
