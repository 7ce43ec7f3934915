#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTest>
// The whole application over a temporary program folder with fake services, as a screen test uses it.
#include "app/application.h"
#include "fakes.h"
#include "program_folder.h"

#include <memory>
#include <optional>

class TestApp {
public:
    explicit TestApp(bool withDatabase = true) : folder(withDatabase) {}

    // Creates the seventeen instances; `showMenu` also shows the main menu (opening the database).
    void start(bool showMenu = true);

    AppContext &context() { return app->context(); }
    const Screens &screens() const { return app->screens(); }

    TestProgramFolder folder;
    FakeServices fakes;
    std::unique_ptr<Application> app;
};

namespace test_support {
// The widget of that object name below `root`, with a warning naming it when there is none, so a test that
// goes on to use it says which widget was missing.
template <typename W = QWidget>
W *findWidget(const QObject *root, const QString &name)
{
    W *w = root->findChild<W *>(name);
    if (!w)
        qWarning("no widget %s", qPrintable(name));
    return w;
}
// Waits up to `ms` for `done` while handling events, woken at once by any event and at least every `wakeMs`
// to look again; objects deleted later meanwhile go at once. Whether `done` came true.
template <typename Done>
bool waitUntil(Done done, int ms, int wakeMs = 5)
{
    QElapsedTimer t;
    t.start();
    QTimer wake;
    wake.start(wakeMs);
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}
} // namespace test_support

// Runs each test class in turn with the application prepared as at start-up.
namespace test_support {
void prepare();
// The command line for one test class: options stay; of the test functions named ("fn" or "Class::fn",
// with an optional ":tag"), only this class's are kept. Null when functions were named, none of them its.
std::optional<QStringList> argumentsFor(const QMetaObject &test, const QStringList &arguments);

template <typename Test>
int runOne(const QStringList &arguments)
{
    const std::optional<QStringList> mine = argumentsFor(Test::staticMetaObject, arguments);
    if (!mine)
        return 0;
    Test test;
    return QTest::qExec(&test, *mine);
}
template <typename... Tests>
int run(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int status = 0;
    ((status |= runOne<Tests>(arguments)), ...);
    return status;
}
} // namespace test_support

#define QUELMORA_TEST_MAIN(...)                                                                                \
    int main(int argc, char **argv)                                                                            \
    {                                                                                                          \
        QApplication application(argc, argv);                                                                  \
        test_support::prepare();                                                                               \
        return test_support::run<__VA_ARGS__>(argc, argv);                                                     \
    }
