#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("configurator"));
    // The main window joins here once it exists; until then the program
    // starts and ends cleanly.
    return 0;
}
