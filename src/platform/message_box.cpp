#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zt {

namespace {
QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::Critical:
            return QMessageBox::Critical;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Message texts carry CR LF line breaks.
QString PlainLines(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
}  // namespace

QtMessageBox::QtMessageBox(QWidget* owner) : owner_(owner) {}

QtMessageBox::~QtMessageBox() {
    for (auto& box : boxes_) {
        if (!box) continue;
        box->disconnect(this);
        delete box.data();
    }
}

QMessageBox* QtMessageBox::make(const std::string& text, const std::string& title, BoxIcon icon,
                                QMessageBox::StandardButtons buttons) {
    // A box without a title carries the program's name, as the desktop's own boxes do.
    QString caption = QString::fromStdString(title);
    if (caption.isEmpty()) caption = QApplication::applicationDisplayName();
    auto* box = new QMessageBox(ToQt(icon), caption, PlainLines(text), buttons, owner_.data());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    // Modal for the window, without blocking the event loop.
    box->setWindowModality(owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    return box;
}

void QtMessageBox::show(const std::string& text, const std::string& title, BoxIcon icon,
                        std::function<void()> closed) {
    QMessageBox* box = make(text, title, icon, QMessageBox::Ok);
    boxes_.emplace_back(box);
    // The connection belongs to this object: once it is gone, a late `finished` reaches nobody.
    connect(box, &QMessageBox::finished, this, [this, box, closed = std::move(closed)](int) {
        std::erase_if(boxes_, [box](const QPointer<QMessageBox>& b) { return !b || b == box; });
        if (closed) closed();
    });
    box->open();
}

void QtMessageBox::ask(const std::string& text, const std::string& title, BoxIcon icon,
                       std::vector<std::string> buttons, std::function<void(int)> answered) {
    QMessageBox* box = make(text, title, icon, QMessageBox::NoButton);
    const int last = static_cast<int>(buttons.size()) - 1;
    std::vector<QAbstractButton*> added;
    for (int i = 0; i <= last; ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : i == last ? QMessageBox::RejectRole : QMessageBox::DestructiveRole;
        QPushButton* b = box->addButton(QString::fromStdString(buttons[static_cast<std::size_t>(i)]), role);
        b->setObjectName(QStringLiteral("boxButton%1").arg(i));
        added.push_back(b);
    }
    if (!added.empty()) {
        box->setDefaultButton(static_cast<QPushButton*>(added.back()));
        box->setEscapeButton(added.back());
    }
    boxes_.emplace_back(box);
    connect(box, &QMessageBox::finished, this, [this, box, added, last, answered = std::move(answered)](int) {
        std::erase_if(boxes_, [box](const QPointer<QMessageBox>& b) { return !b || b == box; });
        int index = last;
        for (int i = 0; i <= last; ++i) {
            if (box->clickedButton() == added[static_cast<std::size_t>(i)]) index = i;
        }
        if (answered) answered(index);
    });
    box->open();
}

std::vector<QMessageBox*> QtMessageBox::openBoxes() const {
    std::vector<QMessageBox*> out;
    for (const auto& b : boxes_) {
        if (b && b->isVisible()) out.push_back(b.data());
    }
    return out;
}

}  // namespace zt
