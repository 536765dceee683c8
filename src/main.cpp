#include "controls/ComboBoxX.h"
#include "platform/Forms.h"
#include "shell/URorudizezFirmWare.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("configurator"));
    // The command line is not read; the program keeps its folders beside itself.
    // The combo box pictures are made once for the whole run.
    ComboBoxXInitialize();
    Create_All_Windows(QCoreApplication::applicationDirPath());
    const int code = platform::Application().Run();
    Destroy_All_Windows();
    ComboBoxXFinalize();
    return code;
}
