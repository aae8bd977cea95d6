// The program's folder and its language files, through Qt.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/platform/interfaces.h"

namespace zt {

class QtFileSystem : public FileSystem {
public:
    std::string programDir() const override;
    char separator() const override;
    bool exists(const std::string& path) const override;
    std::optional<std::string> readText(const std::string& path) const override;
};

// Windows-1252 bytes as text, by one table on every system: ISO-8859-1 with the 32 characters
// Windows puts at 0x80..0x9F.
QString DecodeWindows1252(const QByteArray& bytes);
QString DecodeWindows1252Table(const QByteArray& bytes);

}  // namespace zt
