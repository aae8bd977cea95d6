#include "platform/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace zt {

QtSaveFile::~QtSaveFile() {
    if (dialog_) {
        dialog_->disconnect(this);
        delete dialog_.data();
    }
}

void QtSaveFile::choose(const std::string& title, const std::string& name, const std::string& filter,
                        std::function<void(std::string)> chosen) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    auto* dialog =
        new QFileDialog(owner_.data(), QString::fromStdString(title), dir, QString::fromStdString(filter));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    const QString file = QString::fromStdString(name);
    dialog->setDefaultSuffix(QFileInfo(file).suffix());
    dialog->selectFile(file);
    dialog->setWindowModality(owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    dialog_ = dialog;
    connect(dialog, &QFileDialog::finished, this, [dialog, chosen = std::move(chosen)](int result) {
        const QStringList files = dialog->selectedFiles();
        const bool picked = result == QDialog::Accepted && !files.isEmpty();
        if (chosen) chosen(picked ? files.first().toStdString() : std::string());
    });
    dialog->open();
}

bool QtSaveFile::write(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace zt
