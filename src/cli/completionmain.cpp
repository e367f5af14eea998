// Writes the bash completion of harvly-cli into the file named by its argument; the build
// runs it, so the completion never falls behind the option tables.

#include "completion.h"

#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("Usage: harvly-cli-completion FILE\n", stderr);
        return 2;
    }
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(harvly::BashCompletion().toUtf8()) < 0 ||
        !file.commit()) {
        std::fprintf(stderr, "harvly-cli-completion: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
