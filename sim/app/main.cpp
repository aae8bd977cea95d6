// zentap-reader-sim: a card reader with virtual MIFARE Classic cards, on TCP or a pseudo-terminal.
#include "commands.h"
#include "console.h"
#include "front.h"
#include "shot.h"
#include "window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>
#include <memory>

namespace {

void say(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool wantsHeadless(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--headless") return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zt::sim;
    const bool headless = wantsHeadless(argc, argv);
#if !defined(_WIN32) && !defined(__APPLE__)
    // With no display to show a window on (a server, a CI machine), --help and --headless must
    // still work: Qt's offscreen platform stands in, unless a platform was asked for.
    const bool noDisplay =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if ((headless || noDisplay) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    std::unique_ptr<QCoreApplication> app;
    if (headless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zentap-reader-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        app::kHasPty
            ? QStringLiteral(
                  "A card reader with virtual MIFARE Classic cards for Zentap, on TCP or a pseudo-terminal.")
            : QStringLiteral("A card reader with virtual MIFARE Classic cards for Zentap, on TCP."));
    parser.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("TCP port (default 1001, 0 = any free port)."),
                                     QStringLiteral("N"), QStringLiteral("1001"));
    const QCommandLineOption bindOpt(QStringLiteral("bind"),
                                     QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                     QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption serialOpt(QStringLiteral("serial"),
                                       QStringLiteral("Offer a pseudo-terminal instead of TCP."));
    const QCommandLineOption linkOpt(QStringLiteral("link"),
                                     QStringLiteral("With --serial: a symbolic link to the pseudo-terminal."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption headlessOpt(
        QStringLiteral("headless"), QStringLiteral("No window; commands on standard input (type help)."));
    const QCommandLineOption cardsOpt(
        QStringLiteral("cards"),
        QStringLiteral("Blank 1K cards in the wallet at start (default 3 with the window, 0 headless)."),
        QStringLiteral("N"));
    const QCommandLineOption feedOpt(
        QStringLiteral("auto-feed"),
        QStringLiteral("After each Halt the card leaves and a fresh blank card comes."));
    const QCommandLineOption feedDelayOpt(QStringLiteral("feed-delay"),
                                          QStringLiteral("Auto-feed delay in ms (default 1500)."),
                                          QStringLiteral("MS"), QStringLiteral("1500"));
    const QCommandLineOption timingOpt(
        QStringLiteral("timing"),
        QStringLiteral("instant, or the reader's baud rate 9600, 19200, 38400 (default 9600)."),
        QStringLiteral("MODE"), QStringLiteral("9600"));
    const QCommandLineOption pollOpt(QStringLiteral("poll"),
                                     QStringLiteral("Poll interval in ms for idle cards (default 300)."),
                                     QStringLiteral("MS"), QStringLiteral("300"));
    const QCommandLineOption seedOpt(
        QStringLiteral("seed"), QStringLiteral("Seed for UIDs and torn writes (default: from the clock)."),
        QStringLiteral("N"));
    parser.addOptions(
        {portOpt, bindOpt, headlessOpt, cardsOpt, feedOpt, feedDelayOpt, timingOpt, pollOpt, seedOpt});
    if (app::kHasPty) parser.addOptions({serialOpt, linkOpt});
    parser.process(*app);

    auto bad = [](const QString& msg) {
        std::fprintf(stderr, "zentap-reader-sim: %s\n", msg.toLocal8Bit().constData());
        return 2;
    };
    ReaderOptions opts;
    const QString timing = parser.value(timingOpt);
    if (timing == QLatin1String("instant")) {
        opts.timing = Timing::Instant;
    } else {
        bool ok = false;
        opts.baud = timing.toInt(&ok);
        if (!ok || opts.baud <= 0)
            return bad(QStringLiteral("--timing takes instant or a baud rate such as 9600, 19200, 38400"));
        opts.timing = Timing::Realistic;
    }
    bool ok = false;
    const int port = parser.value(portOpt).toInt(&ok);
    if (!ok || port < 0 || port > 65535) return bad(QStringLiteral("--port takes 0 to 65535"));
    const int feedMs = parser.value(feedDelayOpt).toInt(&ok);
    if (!ok || feedMs < 0) return bad(QStringLiteral("--feed-delay takes milliseconds"));
    opts.feedDelay = Micros{feedMs} * 1000;
    const int pollMs = parser.value(pollOpt).toInt(&ok);
    if (!ok || pollMs <= 0) return bad(QStringLiteral("--poll takes milliseconds"));
    opts.pollInterval = Micros{pollMs} * 1000;
    opts.autoFeed = parser.isSet(feedOpt);
    opts.seed = parser.isSet(seedOpt) ? parser.value(seedOpt).toULongLong()
                                      : static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
    const int cards = parser.isSet(cardsOpt) ? parser.value(cardsOpt).toInt() : (headless ? 0 : 3);

    app::Front front(opts);
    QString error;
    const bool opened = app::kHasPty && parser.isSet(serialOpt)
                            ? front.openSerial(parser.value(linkOpt), &error)
                            : front.listenTcp(parser.value(bindOpt), static_cast<quint16>(port), &error);
    if (!opened) return bad(error);
    for (int i = 0; i < cards; ++i) front.newCard(CardKind::Classic1K);
    say(front.endpointLine());
    QObject::connect(&front, &app::Front::endpointChanged, &front, [](const QString& line) { say(line); });

    app::QuitOnSignals(&front);

    std::unique_ptr<app::Window> window;
    if (headless) {
        QObject::connect(&front, &app::Front::connectionChanged, &front,
                         [](const QString& text) { say(QStringLiteral("event connection ") + text); });
        QObject::connect(&front, &app::Front::outputChanged, &front, [](int o, int d, bool p) {
            const char* names[] = {"green", "red", "beeper"};
            const QString name = o >= 0 && o < 3 ? QString::fromLatin1(names[o]) : QString::number(o);
            say(QStringLiteral("event output %1 %2")
                    .arg(name, d == 0            ? QStringLiteral("off")
                               : (p || d == 255) ? QStringLiteral("on")
                                                 : QStringLiteral("%1ms").arg(d * 10)));
        });
        QObject::connect(&front, &app::Front::fieldChanged, &front, [&front](bool in) {
            auto c = front.reader().cardInField();
            say(in && c ? QStringLiteral("event card in %1 %2")
                              .arg(QString::fromLatin1(cardKindName(c->kind())),
                                   QString::fromStdString(hexBytes(c->uid(), "")))
                        : QStringLiteral("event card out"));
        });
        // At the end of input the program keeps running until a signal ends it.
        app::ReadLines(&front, [&front](const QString& line) {
            const auto result = app::runCommand(front, line);
            if (!result.reply.isEmpty()) say(result.reply);
            if (result.quit) QCoreApplication::quit();
            return !result.quit;
        });
    } else {
        window = std::make_unique<app::Window>(front);
        window->show();
        if (const QString shot = app::shotRequested(); !shot.isEmpty()) app::startShot(front, *window, shot);
    }
    const int rc = app->exec();
    window.reset();
    return rc;
}
