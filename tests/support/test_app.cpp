#include "test_app.h"

#include "app/tfrm_main.h"

#include <QTest>

void TestApp::start(bool showMenu)
{
    app = std::make_unique<Application>(folder.path(), fakes.services());
    if (showMenu) {
        // As the program starts: the other screens are made after the menu's first paint.
        app->mainMenu()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app->mainMenu()));
        QTRY_VERIFY(!app->mainMenu()->databasePending());
        QVERIFY(app->started());
    }
}

void test_support::prepare()
{
    prepareApplication();
}

std::optional<QStringList> test_support::argumentsFor(const QMetaObject &test, const QStringList &arguments)
{
    // Options that take a value, so that value is not read as a function name.
    static const QStringList withValue{QStringLiteral("-o"), QStringLiteral("-maxwarnings"), QStringLiteral("-eventdelay"),
                                       QStringLiteral("-keydelay"), QStringLiteral("-mousedelay"), QStringLiteral("-iterations"),
                                       QStringLiteral("-median"), QStringLiteral("-minimumvalue"), QStringLiteral("-minimumtotal"),
                                       QStringLiteral("-platform")};
    const QString className = QString::fromLatin1(test.className());
    QStringList out{arguments.value(0)};
    bool namedAny = false;
    bool namedMine = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg.startsWith(QLatin1Char('-'))) {
            out << arg;
            if (withValue.contains(arg) && i + 1 < arguments.size())
                out << arguments[++i];
            continue;
        }
        namedAny = true;
        QString function = arg;
        const qsizetype scope = function.indexOf(QLatin1String("::"));
        if (scope >= 0) {
            if (function.left(scope) != className)
                continue;
            function = function.mid(scope + 2);
        }
        const QString bare = function.section(QLatin1Char(':'), 0, 0);
        if (test.indexOfMethod(QString(bare + QStringLiteral("()")).toLatin1().constData()) >= 0) {
            out << function;
            namedMine = true;
        }
    }
    if (namedAny && !namedMine)
        return std::nullopt;
    return out;
}
