// Writes pictures of the window for the documentation:
//   zentap_shot <folder> [suffix] [pictures]
// `pictures` lists what to take ("0123c", the default): a digit is that tab right after start-up,
// "c" the read tab after a card was made and read back through an emulated reader on the serial
// port (COM 1), with the log of both runs, "r" the user tab in the middle of a batch on that reader
// (zentap-run.png). "c" and "r" each want a window of their own: the second would show the log of
// the first.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <cstdio>
#include <functional>
#include <memory>

#include "sim/reader.h"
#include "ui/log_view.h"
#include "ui/program.h"
#include "ui/shot/sim_link.h"
#include "ui/widgets.h"

namespace {

void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool RunUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool Save(zt::ui::Program& program, const QDir& out, const QString& name) {
    program.window().logView()->flush();
    Settle(150);
    const QString file = out.filePath(name);
    if (!program.window().grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// Makes a USUARIO BASICO card on the user tab, then reads it on the read tab.
bool MakeAndReadCard(zt::ui::Program& program, zt::ui::SimSerial& port, zt::sim::Reader& reader) {
    zt::Form& form = program.form();
    auto& m = form.model();
    auto& st = form.state();
    auto fail = [](const char* what) {
        std::fprintf(stderr, "card run: %s\n", what);
        return false;
    };
    m.cEditCfg1.setText("1");
    form.click("cmdOpenCom");
    if (st.LinkType != 1) return fail("COM 1 did not open");

    m.txtUser.setText("042");
    m.SSTab1.setListIndex(2);
    form.click("cmdStart(2)");
    auto card = std::make_shared<zt::sim::Card>(
        zt::sim::Card::blank(zt::sim::CardKind::Classic1K, {0x5A, 0x3C, 0x91, 0x0E}));
    reader.present(card, port.now());
    port.arm();
    if (!RunUntil([&] { return st.ActiveRun == zt::kNoRun; }, 20000)) return fail("the card was not made");

    reader.remove(port.now());
    m.SSTab1.setListIndex(3);
    form.click("cmdLecTar");
    Settle(300);
    reader.present(card, port.now());
    port.arm();
    if (!RunUntil([&] { return !m.txtInfoRead(0).text().empty(); }, 20000))
        return fail("the card was not read");
    Settle(1500);  // the run's LED and beeper steps
    form.click("cmdStop(3)");
    return RunUntil([&] { return st.ActiveRun == zt::kNoRun; }, 10000) || fail("the read run did not stop");
}

// A batch of three USUARIO BASICO cards from user 100: two are made, and the picture is taken
// while the third waits for its card (its caption blue, the log full of the first two). StopRun
// ends the run afterwards.
bool BatchInProgress(zt::ui::Program& program, zt::ui::SimSerial& port, zt::sim::Reader& reader) {
    zt::Form& form = program.form();
    auto& m = form.model();
    auto& st = form.state();
    auto fail = [](const char* what) {
        std::fprintf(stderr, "batch: %s\n", what);
        return false;
    };
    m.cEditCfg1.setText("1");
    form.click("cmdOpenCom");
    if (st.LinkType != 1) return fail("COM 1 did not open");

    // Taller than at start, as an operator who follows the log would make it: the extra height
    // goes to the log, which then holds a whole card.
    QWidget& window = program.window();
    window.resize(window.width(), window.height() + 300);

    m.txtUser.setText("100");
    m.txtNumTar.setText("3");
    m.SSTab1.setListIndex(2);
    form.click("cmdStart(2)");
    const std::uint8_t uids[][4] = {{0x5A, 0x3C, 0x91, 0x0E}, {0xC4, 0x17, 0x6B, 0x22}};
    const char* after[] = {"101", "102"};
    for (int i = 0; i < 2; ++i) {
        auto card = std::make_shared<zt::sim::Card>(zt::sim::Card::blank(
            zt::sim::CardKind::Classic1K, {uids[i][0], uids[i][1], uids[i][2], uids[i][3]}));
        reader.present(card, port.now());
        port.arm();
        if (!RunUntil([&] { return m.txtUser.text() == after[i]; }, 20000))
            return fail("a card was not made");
        reader.remove(port.now());
        port.arm();
    }
    Settle(800);  // the green LED, the beeper and the heading of the next card
    return st.ActiveRun != zt::kNoRun || fail("the run ended early");
}

bool StopRun(zt::ui::Program& program) {
    zt::Form& form = program.form();
    form.click("cmdStop(2)");
    return RunUntil([&] { return form.state().ActiveRun == zt::kNoRun; }, 10000);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentap"));
    QApplication::setWindowIcon(zt::ui::LogoIcon());
    if (argc < 2) {
        std::fprintf(stderr, "usage: zentap_shot <folder> [suffix] [pictures]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString pictures = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("0123c");
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    zt::sim::Reader reader;
    zt::ui::SimSerial port(reader);
    zt::ui::Program program(zt::ui::Program::Options{.link = false, .serial = &port});
    program.start();
    Settle(400);

    const char* names[] = {"config", "generic", "user", "read"};
    auto& tabs = program.form().model().SSTab1;
    for (const QChar p : pictures) {
        const int i = p.digitValue();
        if (i < 0 || i > 3) continue;
        tabs.setListIndex(i);
        if (!Save(program, out, QStringLiteral("zentap-%1%2.png").arg(QLatin1String(names[i]), suffix)))
            return 1;
    }
    if (pictures.contains(QLatin1Char('c'))) {
        if (!MakeAndReadCard(program, port, reader)) return 1;
        if (!Save(program, out, QStringLiteral("zentap-read-card%1.png").arg(suffix))) return 1;
    }
    if (pictures.contains(QLatin1Char('r'))) {
        if (!BatchInProgress(program, port, reader)) return 1;
        if (!Save(program, out, QStringLiteral("zentap-run%1.png").arg(suffix))) return 1;
        if (!StopRun(program)) return 1;
    }
    return 0;
}
