// The least a Qt program does: start a QCoreApplication and print one line.
// The command line's start is timed against it.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::puts("hello");
    return 0;
}
