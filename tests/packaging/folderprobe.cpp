// Copied beside an installed program, prints where its open and save dialogs start.
#include "programfolder.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::puts(qPrintable(vusk::cellListFolder()));
}
