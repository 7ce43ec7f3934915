// Quelmora: the contest show on the projector.
#include "app/application.h"
#include "app/real_services.h"
#include "app/tfrm_main.h"
#include "media/flash_environment.h"
#include "ui/shadow_label.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    beginFontConfiguration();
    prepareFlashEnvironment();
    QApplication app(argc, argv);
    prepareApplication();
    RealServices services;
    // The judges' server takes the contest database once start-up has made it.
    Application quelmora(defaultProgramFolder(), services.services(), [&services](AppContext &context) { services.attach(context); });
    quelmora.mainMenu()->show();
    const int status = app.exec();
    services.detach();
    return status;
}
