// Writes the default award ceremony animation to the path given.
#include "swf_writer.h"

#include <QString>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: quelmora_award_swf OUTPUT.swf\n", stderr);
        return 2;
    }
    if (!swf::writeAwardAnimation(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
