// Zentap: makes and reads the MIFARE Classic cards of the KESTA-T2 terminal.
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "ui/program.h"
#include "ui/widgets.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentap"));
    QApplication::setWindowIcon(zt::ui::LogoIcon());

    zt::ui::Program program;
    QObject::connect(&program.window(), &zt::ui::MainWindow::closed, &app, &QApplication::quit);
    program.start();

    // Package checks start the installed program for a moment: it prints its window title (which
    // comes from the language files) and quits.
    if (const int ms = qEnvironmentVariableIntValue("ZT_SELFTEST_EXIT_MS"); ms > 0) {
        QTimer::singleShot(ms, &app, [&program] {
            std::printf("%s\n", program.window().windowTitle().toUtf8().constData());
            std::fflush(stdout);
            program.window().close();
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
