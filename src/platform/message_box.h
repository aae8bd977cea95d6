// The modal message box with an OK button, and the question with its caller's buttons, shown without
// a nested event loop: show() and ask() return at once, and what follows the operator's answer runs
// from the ordinary event loop.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "core/platform/interfaces.h"


namespace zt {

class QtMessageBox final : public QObject, public MessageBox {
    Q_OBJECT
public:
    explicit QtMessageBox(QWidget* owner = nullptr);
    // Boxes still open are closed without telling anyone: nothing runs after the owner is gone.
    ~QtMessageBox() override;

    void setOwner(QWidget* owner) { owner_ = owner; }
    void show(const std::string& text, const std::string& title, BoxIcon icon,
              std::function<void()> closed) override;
    void ask(const std::string& text, const std::string& title, BoxIcon icon, std::vector<std::string> buttons,
             std::function<void(int)> answered) override;

    // Boxes on screen, oldest first.
    std::vector<QMessageBox*> openBoxes() const;

private:
    QMessageBox* make(const std::string& text, const std::string& title, BoxIcon icon,
                      QMessageBox::StandardButtons buttons);

    QPointer<QWidget> owner_;
    std::vector<QPointer<QMessageBox>> boxes_;
};

}  // namespace zt
