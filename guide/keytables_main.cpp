// Writes the screens' key tables for the operator's guide, each as <folder>/<screen>.html, from the tables the
// screens dispatch their keys through.
#include "show/hub_keys.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    const struct {
        const char *screen;
        QString html;
    } tables[] = {{"show_main", hub_keys::htmlTable()}};
    for (const auto &t : tables) {
        QFile file(folder.filePath(QString::fromLatin1(t.screen) + QStringLiteral(".html")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(t.html.toUtf8()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
