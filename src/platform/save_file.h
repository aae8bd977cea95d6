// Saving a file the operator names: a save dialog that does not block the event loop, and a write
// that replaces the file only once all of it is on disk.
#pragma once

#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/platform/interfaces.h"

namespace zt {

class QtSaveFile final : public QObject, public SaveFile {
    Q_OBJECT
public:
    // A dialog still open is closed without telling anyone.
    ~QtSaveFile() override;

    // The window the dialog belongs to.
    void setOwner(QWidget* owner) { owner_ = owner; }
    void choose(const std::string& title, const std::string& name, const std::string& filter,
                std::function<void(std::string)> chosen) override;
    bool write(const std::string& path, const std::string& bytes) override;

    QFileDialog* openDialog() const { return dialog_.data(); }

private:
    QPointer<QWidget> owner_;
    QPointer<QFileDialog> dialog_;
};

}  // namespace zt
