// Saving a file the operator names: a save dialog that does not block the event loop, and a write
// that replaces the file only once all of it is on disk.
#pragma once

#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QTranslator>
#include <QWidget>
#include <memory>

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
    // Puts Qt's own texts of that language (qtbase_<code>.qm) into the whole program: the dialogs'
    // buttons and the message boxes' standard ones. Looked for in a "translations" folder beside
    // the program first, then among Qt's own translations; without one, Qt's English stays.
    void setLanguage(const std::string& code) override;

    // Where the next dialog opens: the folder last saved to, at first the documents folder.
    QString startFolder() const;

    QFileDialog* openDialog() const { return dialog_.data(); }

private:
    QPointer<QWidget> owner_;
    QPointer<QFileDialog> dialog_;
    QString lastFolder_;
    std::string language_;
    std::unique_ptr<QTranslator> translator_;
};

}  // namespace zt
