// Zentap: makes and reads the MIFARE Classic cards of the KESTA-T2 terminal.
#include <QApplication>

#include "ui/program.h"
#include "ui/widgets.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentap"));
    QApplication::setWindowIcon(zt::ui::LogoIcon());

    zt::ui::Program program;
    QObject::connect(&program.window(), &zt::ui::MainWindow::closed, &app, &QApplication::quit);
    program.start();

    return QApplication::exec();
}
