// Where the shipped language files are: beside the test program (the build copies them there),
// else the source tree's lang/.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zt::test {

inline std::string LangDir() {
    const std::string here = __FILE__;
    const char* bin = std::getenv("ZT_BIN_DIR");
    for (const std::string& d : {std::string(bin ? bin : "."), std::string("."),
                                 here.substr(0, here.rfind('/') + 1) + "../../lang"}) {
        if (!std::ifstream(d + "/MisI01.dat").good()) continue;
        std::string dir = std::filesystem::absolute(d).lexically_normal().string();
        if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir;
    }
    return "lang";
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zt::test
