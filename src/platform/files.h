// The program's folder and its language files, through Qt.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/platform/interfaces.h"

namespace zt {

class QtFileSystem : public FileSystem {
public:
    std::string programDir() const override;
    char separator() const override { return '/'; }
    bool exists(const std::string& path) const override;
    std::optional<std::string> readText(const std::string& path) const override;
};

// Windows-1252 bytes as text: through Qt's codec when it has one, otherwise ISO-8859-1 with the
// 32 characters Windows puts at 0x80..0x9F.
QString DecodeWindows1252(const QByteArray& bytes);
// The same without asking Qt's codec (what runs where the codec is missing).
QString DecodeWindows1252Table(const QByteArray& bytes);

}  // namespace zt
