// Quelmora: the contest show on the projector.
#include "app/application.h"
#include "app/real_services.h"
#include "app/tfrm_main.h"
#include "media/flash_environment.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareFlashEnvironment();
    QApplication app(argc, argv);
    prepareApplication();
    RealServices services;
    Application quelmora(defaultProgramFolder(), services.services());
    services.attach(quelmora.context());
    quelmora.screens().frm_main->show();
    const int status = app.exec();
    services.detach();
    return status;
}
