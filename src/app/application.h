#pragma once
// Start-up: the application context and the seventeen instances, created once in their fixed order.
#include "ui/app_context.h"

#include <memory>
#include <vector>

class QWidget;
class StageDisplay;

class Application {
public:
    Application(const QString &programFolder, Services services);
    ~Application();

    AppContext &context() { return m_context; }
    const Screens &screens() const { return m_context.screens; }
    // The seventeen instances in the order of creation (the data module is not a widget: null there).
    const std::vector<QObject *> &creationOrder() const { return m_order; }

private:
    AppContext m_context;
    std::unique_ptr<StageDisplay> m_stage; // outlives the screens placed on it
    std::unique_ptr<TData> m_data;
    std::vector<std::unique_ptr<QWidget>> m_windows;
    std::vector<QObject *> m_order;
};

// The program folder: $QUELMORA_HOME when set, otherwise the folder of the executable; ends in '/'.
QString defaultProgramFolder();

// Application-wide settings made once before any window: title, fonts.
void prepareApplication();
