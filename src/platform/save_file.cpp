#include "platform/save_file.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
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
    // The dialog belongs to the window it was asked from: the record window or the main window.
    QWidget* owner = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : owner_.data();
    auto* dialog =
        new QFileDialog(owner, QString::fromStdString(title), startFolder(), QString::fromStdString(filter));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog rather than the desktop's: it speaks the window's language, not the system's.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const QString file = QString::fromStdString(name);
    dialog->setDefaultSuffix(QFileInfo(file).suffix());
    dialog->selectFile(file);
    dialog->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    dialog_ = dialog;
    connect(dialog, &QFileDialog::finished, this, [this, dialog, chosen = std::move(chosen)](int result) {
        const QStringList files = dialog->selectedFiles();
        const bool picked = result == QDialog::Accepted && !files.isEmpty();
        if (picked) lastFolder_ = QFileInfo(files.first()).absolutePath();
        if (chosen) chosen(picked ? files.first().toStdString() : std::string());
    });
    dialog->open();
}

QString QtSaveFile::startFolder() const {
    if (!lastFolder_.isEmpty() && QDir(lastFolder_).exists()) return lastFolder_;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return docs.isEmpty() ? QDir::homePath() : docs;
}

void QtSaveFile::setLanguage(const std::string& code) {
    if (code == language_) return;
    language_ = code;
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
    if (code.empty()) return;
    auto next = std::make_unique<QTranslator>();
    // By locale, so that "pt" also finds the Brazilian file, the one Qt ships; qt_<lang> is the
    // catalogue that Qt's deployment tool puts together on Windows.
    const QLocale locale(QString::fromStdString(code));
    const QString folders[] = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
            if (!next->load(locale, name, QStringLiteral("_"), folder)) continue;
            QCoreApplication::installTranslator(next.get());
            translator_ = std::move(next);
            return;
        }
    }
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
