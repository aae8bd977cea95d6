// Drives the window from another program over a TCP connection on 127.0.0.1: one request a line,
// one JSON answer a line. Widgets are found by their objectName ("cmdStart(2)"); what a request
// does to a widget is what the operator's mouse and keyboard would do, so the window's logic follows
// as it does for the operator.
//
//   click NAME        press a button, or a label that acts as a link
//   set NAME TEXT     type TEXT over the whole text of a field or an editable combo box;
//                     a fixed combo box picks the item TEXT; a tab control shows its tab TEXT (0..)
//   check NAME 0|1    tick or untick a check box
//   get NAME          {"text", "enabled", "visible"}, with "checked", "items", "current" where the
//                     widget has them
//   log               the lines of the activity log
//   boxes             the open message boxes: [{"title", "text", "buttons"}], the top one last
//   press N|TEXT      press a button of the top message box, by its number or its text
//   title             the main window's title
//   grab NAME FILE    save the widget, as drawn now, as a PNG picture (a path of the program's system)
//   quit              close the main window, as its close button does
//
// Answers: {"ok": VALUE} or {"error": "why"}. A click, press or quit is answered at once and done
// through the event loop just after, so that nothing it starts can hold up the answer.
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace zt::driver {

class Driver final : public QObject {
    Q_OBJECT
public:
    explicit Driver(QObject* parent = nullptr);
    bool listen(quint16 port);
    // The answer to one request line, as sent back without its line end.
    QByteArray answer(const QString& line);

private:
    void serve(QTcpSocket* peer);
    QJsonValue run(const QString& verb, const QString& name, const QString& arg);

    QTcpServer server_;
};

}  // namespace zt::driver
