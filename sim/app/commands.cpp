#include "commands.h"

#include "front.h"

#include <QStringList>

namespace zt::sim::app {
namespace {

QString hex(const std::vector<std::uint8_t>& bytes) {
    return QString::fromStdString(hexBytes(bytes, ""));
}

QString describe(const Card& card) {
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(cardKindName(card.kind())), hex(card.uid()));
}

CommandResult ok(const QString& text) {
    return {QStringLiteral("ok ") + text};
}

CommandResult fail(const QString& text) {
    return {QStringLiteral("error ") + text};
}

CommandResult present(Front& front, const QStringList& args) {
    CardKind kind = CardKind::Classic1K;
    std::vector<std::uint8_t> uid;
    for (const QString& a : args) {
        if (auto k = cardKindFromName(a.toStdString())) {
            kind = *k;
            continue;
        }
        auto bytes = parseHex(a.toStdString());
        if (!bytes || (bytes->size() != 4 && bytes->size() != 7 && bytes->size() != 10))
            return fail(
                QStringLiteral("'%1' is neither 1k, 4k, mini nor a UID of 4, 7 or 10 hex bytes").arg(a));
        uid = *bytes;
    }
    auto card = front.newCard(kind, uid);
    front.present(card);
    return ok(QStringLiteral("present ") + describe(*card));
}

CommandResult fault(Front& front, const QStringList& args) {
    if (args.value(0) == QLatin1String("clear")) {
        if (args.size() == 1) {
            front.reader().faults().clearAll();
            return ok(QStringLiteral("faults cleared"));
        }
        bool okCode = false;
        const int c = args[1].toInt(&okCode, 16);
        if (!okCode || c < 0 || c > 255) return fail(QStringLiteral("bad request code '%1'").arg(args[1]));
        front.reader().faults().clear(static_cast<std::uint8_t>(c));
        return ok(QStringLiteral("faults of %1 cleared").arg(args[1]));
    }
    if (args.size() < 2)
        return fail(QStringLiteral("usage: fault <code-hex> <kind>[=value] [next|nth N|always]"));
    bool okCode = false;
    const int c = args[0].toInt(&okCode, 16);
    if (!okCode || c < 0 || c > 255) return fail(QStringLiteral("bad request code '%1'").arg(args[0]));
    const QStringList kv = args[1].split(QLatin1Char('='));
    const auto kind = faultFromName(kv[0].toStdString());
    if (!kind) {
        QStringList names;
        for (const auto& n : faultNames()) names << QString::fromStdString(n);
        return fail(
            QStringLiteral("unknown fault '%1'; one of: %2").arg(kv[0], names.join(QLatin1Char(' '))));
    }
    int value = 0;
    if (kv.size() > 1) {
        bool okValue = false;
        value = kv[1].toInt(&okValue);
        if (!okValue) return fail(QStringLiteral("bad value '%1'").arg(kv[1]));
    }
    FaultWhen when = FaultWhen::Next;
    int n = 1;
    const QString w = args.value(2, QStringLiteral("next"));
    if (w == QLatin1String("always")) {
        when = FaultWhen::Always;
    } else if (w == QLatin1String("nth")) {
        bool okN = false;
        n = args.value(3).toInt(&okN);
        if (!okN || n < 1) return fail(QStringLiteral("nth needs a count of 1 or more"));
        when = FaultWhen::Nth;
    } else if (w != QLatin1String("next")) {
        return fail(QStringLiteral("'%1': next, nth N or always").arg(w));
    }
    front.reader().faults().arm(static_cast<std::uint8_t>(c), *kind, when, n, value);
    return ok(QStringLiteral("fault %1 %2 %3")
                  .arg(QString::fromStdString(requestName(static_cast<std::uint8_t>(c))), args[1],
                       when == FaultWhen::Nth ? QStringLiteral("nth %1").arg(n) : w));
}

std::shared_ptr<Card> cardToDump(Front& front) {
    if (auto c = front.reader().cardInField()) return c;
    return front.wallet().empty() ? nullptr : front.wallet().back();
}

}  // namespace

QString commandHelp() {
    return QStringLiteral(
        "commands: present [1k|4k|mini] [uid-hex] | remove | auto-feed on|off | "
        "fault <code-hex> <kind>[=value] [next|nth N|always] | fault clear [code] | "
        "dump <file> | load <file> | status | help | quit");
}

CommandResult runCommand(Front& front, const QString& line) {
    QStringList args = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (args.isEmpty()) return {};
    const QString cmd = args.takeFirst().toLower();
    if (cmd == QLatin1String("present")) return present(front, args);
    if (cmd == QLatin1String("remove")) {
        if (!front.reader().cardInField()) return fail(QStringLiteral("no card in the field"));
        front.removeCard();
        return ok(QStringLiteral("remove"));
    }
    if (cmd == QLatin1String("auto-feed")) {
        const QString v = args.value(0);
        if (v != QLatin1String("on") && v != QLatin1String("off"))
            return fail(QStringLiteral("auto-feed on|off"));
        front.setAutoFeed(v == QLatin1String("on"));
        return ok(QStringLiteral("auto-feed ") + v);
    }
    if (cmd == QLatin1String("fault")) return fault(front, args);
    if (cmd == QLatin1String("dump")) {
        if (args.size() != 1) return fail(QStringLiteral("dump <file>"));
        auto card = cardToDump(front);
        if (!card) return fail(QStringLiteral("no card to dump"));
        std::string error;
        if (!card->save(args[0].toStdString(), &error)) return fail(QString::fromStdString(error));
        return ok(QStringLiteral("dump %1 %2 bytes").arg(args[0]).arg(card->dump().size()));
    }
    if (cmd == QLatin1String("load")) {
        if (args.size() != 1) return fail(QStringLiteral("load <file>"));
        std::string error;
        auto card = Card::load(args[0].toStdString(), &error);
        if (!card) return fail(QString::fromStdString(error));
        auto shared = std::make_shared<Card>(std::move(*card));
        front.present(shared);
        return ok(QStringLiteral("load ") + describe(*shared));
    }
    if (cmd == QLatin1String("status")) {
        QString s = front.connectionText();
        if (auto c = front.reader().cardInField())
            s += QStringLiteral("; card %1 %2")
                     .arg(describe(*c), QString::fromLatin1(cardStateName(c->state())));
        else
            s += QStringLiteral("; no card");
        const Micros t = front.now();
        const char* names[] = {"green", "red", "beeper"};
        for (int o = 0; o < Reader::kOutputs; ++o)
            s += QStringLiteral("; %1 %2").arg(QString::fromLatin1(names[o]), front.reader().output(o, t).on
                                                                                  ? QStringLiteral("on")
                                                                                  : QStringLiteral("off"));
        return ok(s);
    }
    if (cmd == QLatin1String("help")) return ok(commandHelp());
    if (cmd == QLatin1String("quit") || cmd == QLatin1String("exit")) return {QStringLiteral("ok bye"), true};
    return fail(QStringLiteral("unknown command '%1'; %2").arg(cmd, commandHelp()));
}

}  // namespace zt::sim::app
