// Measurements of the real program: the Qt event loop, the Qt socket and timer, the window logic and
// the window itself (offscreen), against the reader simulator over loopback TCP.
//
//   zt_program_bench idle [--quick]       CPU while the encoding run waits for a card and while the
//                                         TCP open waits for its connection
//   zt_program_bench batch --timing instant|9600 [--cards 50] [--feed-delay 1500] [--verify]
//                                         a batch of USUARIO BASICO cards against auto-feed; with
//                                         --verify chkVerify is ticked and only the per-card time
//                                         is reported
//   zt_program_bench log [--lines 1000000]
//                                         the activity log growing with the window shown
//   zt_program_bench startup [--runs 10]  process start to window shown, median
//
// Each prints "RESULT <key> <value>" lines (scripts/bench.sh makes the table) and "NOTE" lines.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/app/log.h"
#include "sim/reader.h"
#include "ui/log_view.h"
#include "ui/program.h"
#include "ui/widgets.h"

namespace zt::bench {
namespace {

QStringList gArgs;

QString Arg(const QString& name, const QString& fallback) {
    const int i = static_cast<int>(gArgs.indexOf(name));
    return i >= 0 && i + 1 < gArgs.size() ? gArgs[i + 1] : fallback;
}
bool Flag(const QString& name) {
    return gArgs.contains(name);
}

bool Click(ui::Program& p, const char* name) {
    return p.form().click(name);
}

// Opens TCP to the address in the window; true when "OpenPortTCP OK" came.
bool OpenTcp(ui::Program& p, const std::string& host) {
    auto& m = p.form().model();
    m.cEditCfg3.setText(host);
    if (!Click(p, "cmdOpenTCP")) return false;
    return WaitForLine(
        m.listInfo, [&] { return p.form().state().LinkType == 2; }, 25);
}

// ---- 1. Waiting costs nothing -------------------------------------------------------------------

int Idle() {
    const bool quick = Flag("--quick");
    const double cardWait = quick ? 10 : 60;
    ui::Program program;
    program.start();
    auto& form = program.form();
    auto& m = form.model();
    RunLoopFor(1);

    // The window alone, no link, no run: the timer ticks and nothing else.
    double c0 = CpuSeconds(), t0 = Now();
    RunLoopFor(quick ? 5 : 10);
    Result("idle.window_pct", 100 * (CpuSeconds() - c0) / (Now() - t0));

    // The encoding run waiting for a card, the reader connected but without a card.
    SimProcess sim({QStringLiteral("--cards"), QStringLiteral("0")});
    if (!sim.ok()) {
        Note(sim.error().toStdString());
        return 1;
    }
    if (!OpenTcp(program, "127.0.0.1")) {
        Note("TCP to the simulator did not open");
        return 1;
    }
    Click(program, "cmdStart(2)");
    const std::string heading = GetMis(form.ctx(), 176) + ": ";
    if (!WaitForLine(
            m.listInfo, [&] { return m.listInfo.items().back().rfind(heading, 0) == 0; }, 10)) {
        Note("the run did not get to its wait for a card");
        return 1;
    }
    const auto linesBefore = m.listInfo.itemCount();
    c0 = CpuSeconds();
    t0 = Now();
    RunLoopFor(cardWait);
    const double cardPct = 100 * (CpuSeconds() - c0) / (Now() - t0);
    if (form.state().ActiveRun != 2 || m.listInfo.itemCount() != linesBefore)
        Note("the run did not simply wait");
    Result("idle.card_wait_pct", cardPct);
    Result("idle.card_wait_s", cardWait);
    Click(program, "cmdStop(2)");
    WaitForLine(
        m.listInfo, [&] { return form.state().ActiveRun == kNoRun; }, 10);
    Click(program, "cmdClose");

    // The TCP open waiting its 20 s for a host that never answers.
    BlackHole hole("127.0.0.2", 1001);
    if (!hole.ok()) Note("could not set up a silent port on 127.0.0.2:1001");
    RunLoopFor(0.3);
    m.cEditCfg3.setText("127.0.0.2");
    c0 = CpuSeconds();
    t0 = Now();
    Click(program, "cmdOpenTCP");
    WaitForLine(
        m.listInfo, [&] { return m.listInfo.items().back().rfind("OpenPortTCP", 0) == 0; }, 30);
    const double wall = Now() - t0;
    Result("idle.tcp_wait_pct", 100 * (CpuSeconds() - c0) / wall);
    Result("idle.tcp_wait_s", wall);
    Note("tcp open ended with: " + m.listInfo.items().back());
    return 0;
}

// ---- 2. Per-card time against the floor ---------------------------------------------------------

// The fastest a batch can go against the reader model: a host that answers every event the moment
// it arrives, sends the frames the encoding run sends, and after each Halt answer is away for the
// card's LED waits as measured in the program (a card report arriving then is missed, as in the
// run, and the reader repeats it at its poll interval). Returns the time from the first card's Halt
// answer to the last one's.
double Floor(const sim::ReaderOptions& base, const std::vector<double>& ledWaits) {
    using sim::makeFrame;
    sim::ReaderOptions opts = base;
    opts.autoFeed = true;
    sim::Reader reader(opts);
    sim::FrameAssembler frames;
    const std::vector<std::uint8_t> key(6, 0xFF), block(16, 0x00);
    auto send = [&](std::vector<std::uint8_t> f, sim::Micros at) { reader.receive(f, at); };
    auto withPrefix = [](std::uint8_t first, const std::vector<std::uint8_t>& rest) {
        std::vector<std::uint8_t> v{first};
        v.insert(v.end(), rest.begin(), rest.end());
        return v;
    };

    std::size_t card = 0;
    int writes = 0;
    bool waitingForCard = true;
    sim::Micros busyUntil = 0, firstHalt = -1, lastHalt = -1;
    while (card <= ledWaits.size()) {
        const auto due = reader.nextDue();
        if (!due) break;
        for (const auto& e : reader.collect(*due)) {
            for (const auto& f : frames.feed(e.bytes)) {
                const sim::Micros t = e.at;
                switch (f.code) {
                    case 0x90:
                        if (waitingForCard && t >= busyUntil) {
                            waitingForCard = false;
                            send(makeFrame(0x11), t);
                        }
                        break;
                    case 0x91:
                        send(makeFrame(0x07, {0, 255}), t);
                        send(makeFrame(0x07, {1, 255}), t);
                        send(makeFrame(0x20, withPrefix(5, key)), t);
                        break;
                    case 0xA0:
                        send(makeFrame(0x21, {4, 0, 5}), t);
                        break;
                    case 0xA1:
                        writes = 0;
                        send(makeFrame(0x23, withPrefix(4, block)), t);
                        break;
                    case 0xA3:
                        if (++writes == 1) {
                            send(makeFrame(0x23, withPrefix(7, block)), t);
                        } else {
                            send(makeFrame(0x12), t);
                        }
                        break;
                    case 0x92: {
                        if (firstHalt < 0) firstHalt = t;
                        lastHalt = t;
                        // LEDs and beeper, then the host is back waiting for a card.
                        send(makeFrame(0x06, {1, 0}), t);
                        send(makeFrame(0x06, {0, 50}), t);
                        send(makeFrame(0x06, {2, 10}), t);
                        const double led = card < ledWaits.size() ? ledWaits[card] : 0;
                        busyUntil = t + static_cast<sim::Micros>(led * 1e6);
                        waitingForCard = true;
                        ++card;
                        break;
                    }
                    default:
                        break;
                }
            }
        }
    }
    return static_cast<double>(lastHalt - firstHalt) / 1e6;
}

int Batch() {
    const QString timing = Arg("--timing", "instant");
    const int cards = Arg("--cards", "50").toInt();
    const int feedMs = Arg("--feed-delay", "1500").toInt();
    const bool verify = Flag("--verify");
    SimProcess sim({QStringLiteral("--auto-feed"), QStringLiteral("--feed-delay"), QString::number(feedMs),
                    QStringLiteral("--timing"), timing, QStringLiteral("--seed"), QStringLiteral("7")});
    if (!sim.ok()) {
        Note(sim.error().toStdString());
        return 1;
    }
    ui::Program program;
    program.start();
    auto& form = program.form();
    auto& m = form.model();
    if (!OpenTcp(program, "127.0.0.1")) {
        Note("TCP to the simulator did not open");
        return 1;
    }
    m.txtNumTar.setText(std::to_string(cards));
    m.chkVerify.setValue(verify ? 1 : 0);
    TimedLog log(m.listInfo);
    Click(program, "cmdStart(2)");
    WaitForLine(
        m.listInfo, [&] { return form.state().ActiveRun == kNoRun; }, cards * 10.0 + 30);
    const auto halts = log.times(">>> AnsHalt: 0x00");
    const auto greens = log.times("Led green");
    const auto beeps = log.times("Beeper");
    if (static_cast<int>(halts.size()) != cards || static_cast<int>(beeps.size()) != cards ||
        log.has(GetMis(form.ctx(), 190)) ||
        (verify && static_cast<int>(log.times(GetMis(form.ctx(), 405)).size()) != cards)) {
        Note("the batch did not write " + std::to_string(cards) + " cards cleanly (" +
             std::to_string(halts.size()) + " halted)");
        return 1;
    }
    // The LED waits of every card as they fell on the program's ticks.
    std::vector<double> led;
    for (std::size_t i = 0; i < greens.size(); ++i) led.push_back(beeps[i] - greens[i]);
    const double measured = halts.back() - halts.front();
    if (verify) {
        // The floor models the unticked run; the ticked one is set against that run's own time.
        Result("batch." + timing.toStdString() + ".verify.per_card_s", measured / (cards - 1));
        return 0;
    }
    sim::ReaderOptions opts;
    opts.feedDelay = sim::Micros{feedMs} * 1000;
    if (timing != QLatin1String("instant")) {
        opts.timing = sim::Timing::Realistic;
        opts.baud = timing.toInt();
    }
    const double floor = Floor(opts, std::vector<double>(led.begin(), led.end() - 1));
    const std::string key = "batch." + timing.toStdString();
    Result(key + ".per_card_s", measured / (cards - 1));
    Result(key + ".floor_per_card_s", floor / (cards - 1));
    Result(key + ".ratio", measured / floor);
    Result(key + ".led_wait_mean_s",
           std::accumulate(led.begin(), led.end(), 0.0) / static_cast<double>(led.size()));
    return 0;
}

// ---- 3. Log growth ------------------------------------------------------------------------------

int Log() {
    const int total = Arg("--lines", "1000000").toInt();
    ui::Program program(ui::Program::Options{false, nullptr});
    program.start();
    RunLoopFor(0.5);
    auto& ctx = program.form().ctx();
    // What a run logs, over and over.
    const std::vector<std::string> mix{">>> AnsGetUID:  0xA1 0x04 0x00 0x1A 0x2B 0x3C 0x4D",
                                       "ATQA:  04 00",
                                       "UID:  1A 2B 3C 4D",
                                       "Select",
                                       ">>> AnsSelect: 0x01",
                                       "Led yellow On",
                                       "WriteKeyE2P",
                                       ">>> AnsWriteKeyE2P: 0x00",
                                       "Login",
                                       ">>> AnsLogin: 0x00",
                                       "Write Block: 04---1000000009FFFFFFFFFFFFFFFFFFFFFF",
                                       ">>> AnsWrite: 0x00",
                                       "Write Protection Block: 07",
                                       "Halt",
                                       ">>> AnsHalt: 0x00",
                                       "Led green",
                                       "Beeper",
                                       Dashes60()};
    const double rss0 = RssMb();
    const int chunk = 1000;
    std::vector<double> chunkTimes;
    // One line logged and shown at once: the view's own update, measured early and at the end. The
    // median of a few, so that a busy machine's stray delay does not pass for the view's cost.
    auto oneShown = [&](const char* text) {
        std::vector<double> times;
        for (int i = 0; i < 11; ++i) {
            const double t = Now();
            AddInfo(ctx, text);
            program.window().logView()->flush();
            QCoreApplication::processEvents();
            times.push_back(Now() - t);
        }
        std::nth_element(times.begin(), times.begin() + 5, times.end());
        return times[5];
    };
    double shownEarly = 0;
    const double t0 = Now();
    for (int done = 0; done < total; done += chunk) {
        if (done == total / 10) shownEarly = oneShown("a line shown early");
        const double c = Now();
        for (int i = 0; i < chunk; ++i) AddInfo(ctx, mix[static_cast<std::size_t>(done + i) % mix.size()]);
        chunkTimes.push_back(Now() - c);
        // The window's turn: the view takes the new lines in its batches and paints.
        QCoreApplication::processEvents();
    }
    auto* view = program.window().logView();
    view->flush();
    QCoreApplication::processEvents();
    const double elapsed = Now() - t0;

    // One more line, alone and with the view brought up to date and painted.
    double t = Now();
    AddInfo(ctx, "one more line");
    const double oneLine = Now() - t;
    const double shownLate = oneShown("and another, shown");

    auto perLine = [&](std::size_t from, std::size_t n) {
        double s = 0;
        for (std::size_t i = from; i < from + n; ++i) s += chunkTimes[i];
        return s / static_cast<double>(n * chunk);
    };
    const std::size_t n = std::min<std::size_t>(50, chunkTimes.size() / 2);
    Result("log.lines", total);
    Result("log.total_s", elapsed);
    Result("log.peak_rss_mb", PeakRssMb());
    Result("log.rss_growth_mb", RssMb() - rss0);
    Result("log.first_lines_us", perLine(0, n) * 1e6);
    Result("log.last_lines_us", perLine(chunkTimes.size() - n, n) * 1e6);
    Result("log.one_more_line_us", oneLine * 1e6);
    Result("log.one_more_shown_ms", shownLate * 1e3);
    Result("log.early_shown_ms", shownEarly * 1e3);
    Result("log.early_lines", total / 10);
    return 0;
}

// ---- 5. Start-up --------------------------------------------------------------------------------

// What main() does, then the time the window first paints, on the monotonic clock.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen) {
            seen = true;
            std::printf("SHOWN %.9f\n", Now());
            std::fflush(stdout);
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return false;
    }
    bool seen = false;
};

int StartupChild(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Zentap"));
    QApplication::setWindowIcon(ui::LogoIcon());
    ui::Program program;
    FirstPaint watch;
    program.window().installEventFilter(&watch);
    program.start();
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    return app.exec();
}

int Startup() {
    const int runs = Arg("--runs", "10").toInt();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        const double t0 = Now();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("startup-child")});
        if (!child.waitForFinished(15000)) {
            Note("the start-up child did not finish");
            return 1;
        }
        const QByteArray out = child.readAllStandardOutput();
        const int at = static_cast<int>(out.indexOf("SHOWN "));
        if (at < 0) {
            Note("the window was never shown");
            return 1;
        }
        times.push_back(out.mid(at + 6).trimmed().toDouble() - t0);
    }
    std::sort(times.begin(), times.end());
    const double median =
        runs % 2
            ? times[static_cast<std::size_t>(runs / 2)]
            : (times[static_cast<std::size_t>(runs / 2 - 1)] + times[static_cast<std::size_t>(runs / 2)]) / 2;
    Result("startup.median_ms", median * 1e3);
    Result("startup.min_ms", times.front() * 1e3);
    Result("startup.max_ms", times.back() * 1e3);
    return 0;
}

}  // namespace
}  // namespace zt::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zt::bench::gArgs = QCoreApplication::arguments();
    const QString what = zt::bench::gArgs.value(1);
    if (what == QLatin1String("idle")) return zt::bench::Idle();
    if (what == QLatin1String("batch")) return zt::bench::Batch();
    if (what == QLatin1String("log")) return zt::bench::Log();
    if (what == QLatin1String("startup")) return zt::bench::Startup();
    if (what == QLatin1String("startup-child")) return zt::bench::StartupChild(app);
    std::fprintf(stderr,
                 "usage: %s idle [--quick] | batch --timing instant|9600 [--cards N] | log [--lines N] | "
                 "startup [--runs N]\n",
                 argv[0]);
    return 2;
}
