#include "test_app.h"

#include "app/tfrm_main.h"

#include <QTest>

void TestApp::start(bool showMenu)
{
    app = std::make_unique<Application>(folder.path(), fakes.services());
    if (showMenu) {
        app->screens().frm_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app->screens().frm_main));
    }
}

void test_support::prepare()
{
    prepareApplication();
}
