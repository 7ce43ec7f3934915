#pragma once
// Start-up: the application context and the seventeen instances, created once in their fixed order.
#include "ui/app_context.h"

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class StageDisplay;

class Application {
public:
    // Makes the main menu; the other sixteen instances follow in their order right after the menu's first
    // paint, or as soon as anything asks for them. `started` is called once they all exist.
    Application(const QString &programFolder, Services services, std::function<void(AppContext &)> started = {});
    ~Application();

    AppContext &context()
    {
        completeStart();
        return m_context;
    }
    const Screens &screens()
    {
        completeStart();
        return m_context.screens;
    }
    // The main menu, without making the other screens.
    Tfrm_main *mainMenu() const { return m_context.screens.frm_main; }
    // Makes the instances not made yet; does nothing once all seventeen exist.
    void completeStart();
    bool started() const { return m_started; }
    // The seventeen instances in the order of creation (the data module is not a widget: null there).
    const std::vector<QObject *> &creationOrder()
    {
        completeStart();
        return m_order;
    }

private:
    template <typename Screen>
    void make(Screen *&slot);

    AppContext m_context;
    std::unique_ptr<StageDisplay> m_stage; // outlives the screens placed on it
    std::unique_ptr<TData> m_data;
    std::vector<std::unique_ptr<QWidget>> m_windows;
    std::vector<QObject *> m_order;
    std::function<void(AppContext &)> m_whenStarted;
    bool m_started = false;
};

// The program folder: $QUELMORA_HOME when set, otherwise the folder of the executable; ends in '/'.
QString defaultProgramFolder();

// Application-wide settings made once before any window: title, Qt's own Chinese texts (the buttons of
// message boxes, the file and font dialogs), fonts.
void prepareApplication();
// Qt's Chinese translations (Debian package qt6-translations-l10n), when they are installed.
void installChineseTranslations();
