// Writes the manual page fenpai(1) at build time, from the command table `fenpai help` prints.
#include "cli/manpage.h"

#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fenpai_manpage FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray page = fenpai::ManPage::render(QStringLiteral(FENPAI_VERSION)).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size() ||
        !file.flush()) {
        std::fprintf(stderr, "fenpai_manpage: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
