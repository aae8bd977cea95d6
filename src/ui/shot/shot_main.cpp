// Writes pictures of the window, one per tab, for the documentation:
//   zentap_shot <folder> [suffix]
// The window is the program's own, started as at every start, without a link.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <cstdio>

#include "ui/log_view.h"
#include "ui/program.h"
#include "ui/widgets.h"

namespace {
void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentap"));
    QApplication::setWindowIcon(zt::ui::LogoIcon());
    if (argc < 2) {
        std::fprintf(stderr, "usage: zentap_shot <folder> [suffix]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    zt::ui::Program program(zt::ui::Program::Options{.link = false});
    program.start();
    Settle(400);

    const char* names[] = {"config", "generic", "user", "read"};
    auto& tabs = program.form().model().SSTab1;
    for (int i = 0; i < 4; ++i) {
        tabs.setListIndex(i);
        program.window().logView()->flush();
        Settle(150);
        const QString file = out.filePath(QStringLiteral("zentap-%1%2.png").arg(QLatin1String(names[i]), suffix));
        if (!program.window().grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
