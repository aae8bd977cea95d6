#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zt {

namespace {

// 0x80..0x9F of Windows-1252. The five codes Windows leaves unassigned keep their own value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

QString FromStd(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QString DecodeWindows1252Table(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(b >= 0x80 && b <= 0x9F ? QChar(kHigh[b - 0x80]) : QChar(static_cast<char16_t>(b)));
    }
    return out;
}

QString DecodeWindows1252(const QByteArray& bytes) {
    // The table, not a codec: Qt's codecs differ between builds (Windows builds usually have no
    // ICU), and the files are Windows-1252 whatever code page the system runs with.
    return DecodeWindows1252Table(bytes);
}

std::string QtFileSystem::programDir() const {
    // C:\Program Files\Zentap\bin on Windows, with the separator below.
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

char QtFileSystem::separator() const {
    return QDir::separator().toLatin1();
}

bool QtFileSystem::exists(const std::string& path) const {
    const QFileInfo info(FromStd(path));
    const QString name = info.fileName();
    if (name.isEmpty()) return false;
    // The folder's own listing has to name the file exactly: no pattern, no other spelling.
    const QStringList entries = info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System);
    return entries.contains(name, Qt::CaseSensitive);
}

std::optional<std::string> QtFileSystem::readText(const std::string& path) const {
    QFile file(FromStd(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return DecodeWindows1252(bytes).toStdString();
}

}  // namespace zt
