#pragma once
// The base of every screen: a borderless 1024 x 768 stage at the top left of the display (or the whole
// display), keys seen by the screen before any of its widgets, hidden instead of destroyed when closed.
// All positions are stage coordinates; only this class knows the real display.
#include "app_context.h"
#include "guard.h"

#include <QWidget>

class StageWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStageWidth = 1024;
    static constexpr int kStageHeight = 768;

    StageWindow(AppContext &context, const QString &instanceName, QWidget *parent = nullptr);

    AppContext &context() const { return m_context; }

    // Shows the screen and blocks `opener` until it closes; returns at once (see closed()).
    void openModal(QWidget *opener);
    // Shows the screen above `opener` without blocking it; it takes input even when the opener is modal.
    void openModeless(QWidget *opener);
    // Runs the close handler and hides the screen.
    void closeScreen();

    // Runs `body` guarded: a failure shows the standard error box with this screen as parent.
    template <typename Fn>
    void guard(Fn &&body) { guarded(m_context.dialogs(), this, std::forward<Fn>(body)); }

    // Key preview: the application hands every key meant for this window or its widgets here first, as
    // physical presses (see KeyTracker). Returns true when the key is consumed.
    bool deliverKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    bool deliverKeyUp(int key, Qt::KeyboardModifiers modifiers);

signals:
    void closed();

protected:
    // Handlers for the screens. Keys come as virtual-key codes. keyDown sees every press, auto-repeats
    // included; keyUp runs once per physical press, only when this window saw the press, with the
    // modifiers held at the press. Returning true keeps the key from the widgets.
    virtual bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    virtual bool keyUp(int key, Qt::KeyboardModifiers modifiers);
    // Makes the widgets of a screen that is seldom opened, once, at its first opening, so the show's
    // start-up does not wait for them. Runs before onShow(), after the screen took its place.
    virtual void makeWidgets() {}
    // Show handler: loads what the screen shows. Runs guarded after the screen took its place.
    virtual void onShow() {}
    // Close handler: runs guarded before the screen hides.
    virtual void onClose() {}

    // Whether the screen fills the whole display instead of 1024 x 768 at the top left.
    void setMaximised(bool maximised) { m_maximised = maximised; }

    bool isMaximised() const { return m_maximised; }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

public:
    // Takes the screen's place on the stage display again (the display changed).
    void takePlace();

private:
    void showMadeWidgets();

    AppContext &m_context;
    bool m_maximised = false;
    bool m_closing = false;
    bool m_widgetsMade = false;
};

// Installs the application's input filters once: key preview for screens, and right-button presses kept
// from every control (their releases still arrive, so context menus open).
void installApplicationFilters();
