#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    frmMain window;
    window.Form_Load();
    // A word file that cannot be read ends the program during start-up.
    if (window.ProgramEnded())
        return 1;
    return app.exec();
}
