#include "driver.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTabWidget>
#include <QTcpSocket>
#include <QTimer>

namespace zt::driver {
namespace {

constexpr qsizetype kMaxLine = 64 * 1024;
const QString kMainWindow = QStringLiteral("frmZentap");
const QString kLog = QStringLiteral("listInfo");

QWidget* find(const QString& name) {
    if (name.isEmpty()) return nullptr;
    const auto all = QApplication::allWidgets();
    for (QWidget* w : all)
        if (w->objectName() == name) return w;
    return nullptr;
}

// Runs `f` on `w` once the event loop comes round, unless `w` has gone by then.
template <typename F>
void later(QWidget* w, F f) {
    QTimer::singleShot(0, w, [guard = QPointer<QWidget>(w), f] {
        if (guard) f(guard.data());
    });
}

QJsonArray rows(const QAbstractItemModel* model) {
    QJsonArray out;
    if (model == nullptr) return out;
    for (int r = 0; r < model->rowCount(); ++r) out.append(model->data(model->index(r, 0)).toString());
    return out;
}

QJsonObject describe(QWidget* w) {
    QJsonObject o{{"enabled", w->isEnabled()}, {"visible", w->isVisible()}};
    QString text = w->isWindow() ? w->windowTitle() : QString();
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        text = e->text();
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        text = b->text();
        if (b->isCheckable()) o[QStringLiteral("checked")] = b->isChecked();
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        text = l->text();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        text = g->title();
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        text = c->currentText();
        QJsonArray items;
        for (int i = 0; i < c->count(); ++i) items.append(c->itemText(i));
        o[QStringLiteral("items")] = items;
        o[QStringLiteral("current")] = c->currentIndex();
    } else if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
        o[QStringLiteral("items")] = rows(v->model());
        o[QStringLiteral("current")] = v->currentIndex().row();
    } else if (auto* t = qobject_cast<QTabWidget*>(w)) {
        QJsonArray items;
        for (int i = 0; i < t->count(); ++i) items.append(t->tabText(i));
        o[QStringLiteral("items")] = items;
        o[QStringLiteral("current")] = t->currentIndex();
    }
    o[QStringLiteral("text")] = text;
    return o;
}

// The open message boxes, the one on top last.
QList<QMessageBox*> openBoxes() {
    QList<QMessageBox*> out;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops)
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) out.append(box);
    if (auto* top = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); top != nullptr) {
        out.removeAll(top);
        out.append(top);
    }
    return out;
}

// A box's buttons in the order the program gave them (their names "boxButton0", "boxButton1" ...
// say it), not in the order of their roles in which the box lays them out.
QList<QAbstractButton*> ButtonsInOrder(QMessageBox* box) {
    QList<QAbstractButton*> out = box->buttons();
    std::stable_sort(out.begin(), out.end(),
                     [](QAbstractButton* a, QAbstractButton* b) { return a->objectName() < b->objectName(); });
    return out;
}

QString plain(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

}  // namespace

Driver::Driver(QObject* parent) : QObject(parent) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* peer = server_.nextPendingConnection()) serve(peer);
    });
}

bool Driver::listen(quint16 port) {
    if (server_.listen(QHostAddress::LocalHost, port)) return true;
    qWarning("zentapdriver: cannot listen on 127.0.0.1:%u: %s", port, qPrintable(server_.errorString()));
    return false;
}

void Driver::serve(QTcpSocket* peer) {
    connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    connect(peer, &QTcpSocket::readyRead, peer, [this, peer] {
        auto refuse = [peer] {
            peer->write(QByteArrayLiteral("{\"error\":\"request line too long\"}\n"));
            peer->disconnectFromHost();
        };
        while (peer->canReadLine()) {
            const QByteArray line = peer->readLine(kMaxLine + 1);
            if (!line.endsWith('\n')) return refuse();
            peer->write(answer(QString::fromUtf8(line).chopped(1)) + '\n');
        }
        if (peer->bytesAvailable() > kMaxLine) refuse();
    });
}

QByteArray Driver::answer(const QString& line) {
    QString rest = line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line;
    const qsizetype space = rest.indexOf(QLatin1Char(' '));
    const QString verb = space < 0 ? rest : rest.left(space);
    rest = space < 0 ? QString() : rest.mid(space + 1);
    const qsizetype space2 = rest.indexOf(QLatin1Char(' '));
    const QString name = space2 < 0 ? rest : rest.left(space2);
    const QString arg = space2 < 0 ? QString() : rest.mid(space2 + 1);
    QJsonObject out;
    const QJsonValue value = run(verb, name, arg);
    if (value.isObject() && value.toObject().contains(QStringLiteral("error")))
        out = value.toObject();
    else
        out[QStringLiteral("ok")] = value;
    return QJsonDocument(out).toJson(QJsonDocument::Compact);
}

// A failure is an object with the one member "error"; no other answer is such an object.
QJsonValue Driver::run(const QString& verb, const QString& name, const QString& arg) {
    auto fail = [](const QString& why) { return QJsonObject{{"error", why}}; };
    if (verb == QLatin1String("grab")) {  // the widget as drawn now, into a PNG file
        QWidget* w = find(name);
        if (w == nullptr) return fail(QStringLiteral("no widget '%1'").arg(name));
        return w->grab().save(arg, "PNG") ? QJsonValue(arg) : fail(QStringLiteral("cannot write '%1'").arg(arg));
    }
    if (verb == QLatin1String("log")) {
        auto* view = qobject_cast<QAbstractItemView*>(find(kLog));
        return view != nullptr ? QJsonValue(rows(view->model())) : fail(QStringLiteral("no activity log"));
    }
    if (verb == QLatin1String("title") || verb == QLatin1String("quit")) {
        QWidget* main = find(kMainWindow);
        if (main == nullptr) return fail(QStringLiteral("no main window"));
        if (verb == QLatin1String("title")) return main->windowTitle();
        later(main, [](QWidget* w) { w->close(); });
        return true;
    }
    if (verb == QLatin1String("boxes")) {
        QJsonArray out;
        for (QMessageBox* box : openBoxes()) {
            QJsonArray buttons;
            for (QAbstractButton* b : ButtonsInOrder(box)) buttons.append(plain(b->text()));
            out.append(
                QJsonObject{{"title", box->windowTitle()}, {"text", box->text()}, {"buttons", buttons}});
        }
        return out;
    }
    if (verb == QLatin1String("press")) {
        const auto boxes = openBoxes();
        if (boxes.isEmpty()) return fail(QStringLiteral("no message box is open"));
        const auto buttons = ButtonsInOrder(boxes.last());
        const QString wanted = arg.isEmpty() ? name : name + QLatin1Char(' ') + arg;
        bool number = false;
        const int n = wanted.toInt(&number);
        for (int i = 0; i < buttons.size(); ++i) {
            if (number ? i != n : plain(buttons[i]->text()) != wanted) continue;
            later(buttons[i], [](QWidget* w) { static_cast<QAbstractButton*>(w)->click(); });
            return plain(buttons[i]->text());
        }
        return fail(QStringLiteral("the message box has no button '%1'").arg(wanted));
    }
    if (verb != QLatin1String("click") && verb != QLatin1String("set") && verb != QLatin1String("check") &&
        verb != QLatin1String("get"))
        return fail(
            QStringLiteral("unknown request '%1'; one of: click set check get log boxes press title grab quit")
                .arg(verb));

    QWidget* w = find(name);
    if (w == nullptr) return fail(QStringLiteral("no widget named '%1'").arg(name));
    if (verb == QLatin1String("get")) return describe(w);
    if (!w->isEnabled()) return fail(QStringLiteral("%1 is disabled").arg(name));

    if (verb == QLatin1String("click")) {
        if (qobject_cast<QAbstractButton*>(w) != nullptr) {
            later(w, [](QWidget* x) { static_cast<QAbstractButton*>(x)->click(); });
            return true;
        }
        // A label that acts as a link says so with a clicked() signal of its own.
        if (w->metaObject()->indexOfSignal("clicked()") >= 0) {
            later(w, [](QWidget* x) { QMetaObject::invokeMethod(x, "clicked"); });
            return true;
        }
        return fail(QStringLiteral("%1 cannot be clicked").arg(name));
    }

    if (verb == QLatin1String("check")) {
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (b == nullptr || !b->isCheckable()) return fail(QStringLiteral("%1 is not a check box").arg(name));
        if (arg != QLatin1String("0") && arg != QLatin1String("1"))
            return fail(QStringLiteral("check %1 takes 0 or 1").arg(name));
        if (b->isChecked() != (arg == QLatin1String("1"))) b->click();
        return b->isChecked();
    }

    // set: typed over the whole text, through the field's limits, as the operator types it.
    auto* combo = qobject_cast<QComboBox*>(w);
    QLineEdit* edit = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(w);
    if (edit != nullptr) {
        if (edit->isReadOnly()) return fail(QStringLiteral("%1 is read-only").arg(name));
        edit->selectAll();
        edit->insert(arg);
        if (edit->text() != arg)
            return fail(QStringLiteral("%1 took the text as '%2'").arg(name, edit->text()));
        return edit->text();
    }
    if (combo != nullptr) {
        const int i = combo->findText(arg, Qt::MatchExactly);
        if (i < 0) return fail(QStringLiteral("%1 has no item '%2'").arg(name, arg));
        combo->setCurrentIndex(i);
        emit combo->activated(i);
        emit combo->textActivated(arg);
        return arg;
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {  // the tab of that number, as its caption is clicked
        bool number = false;
        const int i = arg.toInt(&number);
        if (!number || i < 0 || i >= tabs->count()) return fail(QStringLiteral("%1 has no tab '%2'").arg(name, arg));
        tabs->setCurrentIndex(i);
        return i;
    }
    return fail(QStringLiteral("%1 takes no text").arg(name));
}

}  // namespace zt::driver
