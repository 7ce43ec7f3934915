#include "app_context.h"

AppContext::AppContext(const QString &programFolder, Services services)
    : paths(programFolder), settings(paths.programFolder()), services(services)
{
}
