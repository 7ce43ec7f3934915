#pragma once
// The 大屏幕倒计时 screen: whole seconds counted down in big red figures from a preset of the contest
// database, the last seconds sounded. The apostrophe key starts and stops it, the semicolon key puts the
// preset back.
#include "ui/stage_window.h"

#include <QHash>
#include <QSet>

class MediaPlayer;
class Picture;
class QComboBox;
class QLineEdit;
class QTimer;
class ShadowLabel;

class Tfrm_djs : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_djs(AppContext &context);

    // Choosing the list's item `index`, as the operator does with the mouse or the arrow keys.
    void choosePreset(int index);
    // The apostrophe key: stops a running countdown, or starts one from the number on display.
    void startStop();
    // The semicolon key: the preset back on display.
    void reset();
    // One second of the countdown.
    void time_djsTimer();

    const QString &preset_seconds() const { return m_preset; }
    // The pixel size of the number's type for `text`: the 227 pixels of the design where its ink keeps
    // inside the dial's ticks, smaller where it would not.
    int numberPixelSize(const QString &text);
    int bigscreen_sound_threshold() const { return m_threshold; }

    Picture *Image1;
    ShadowLabel *lab_djs;
    QComboBox *combox_djs;
    QLineEdit *Edit1 = nullptr; // off the screen, holds the keyboard focus once a preset is chosen
    MediaPlayer *Media1;
    QTimer *time_djs;

protected:
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillPresets();
    void playSound(const QString &relative);
    // Puts `text` on display in type that keeps it inside the dial.
    void showNumber(const QString &text);

    QString m_preset = QStringLiteral("0");
    int m_threshold = 0;
    QSet<QString> m_reportedSounds; // sound failures told during this countdown
    QHash<QString, int> m_sizes;    // numberPixelSize by the number's shape (its digits all read as 0)
};
