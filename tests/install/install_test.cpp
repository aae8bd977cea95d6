// The programs as a user gets them: the Debian package unpacked with dpkg -x, and cmake --install
// into a fresh prefix. In both trees the installed zentap starts and finds its language files by its
// own location, not through the working folder; the simulator runs; lintian has nothing to say.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a shell command line: its exit code and the last line of its output.
std::pair<int, std::string> Shell(const std::string& cmd) {
    FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = p ? pclose(p) : -1;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out.substr(out.rfind('\n') + 1)};
}

TEST(Installed, ProgramsRunAndZentapFindsItsLanguageFiles) {
    char name[] = "/tmp/zt_install_XXXXXX";
    const fs::path tmp = mkdtemp(name);
    const std::string build = ZT_BUILD_DIR, source = ZT_SOURCE_DIR, lang = source + "/lang/";
    const std::string pkg = Quote(tmp / "package");
    // The window title in the start language: message 2 of MisI01.dat.
    const auto title =
        Shell("sed -n 2p " + Quote(lang + "MisI01.dat") + " | iconv -f CP1252 -t UTF-8").second;
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(Shell(Quote(ZT_CMAKE) + " --install " + Quote(build) + " --prefix " + Quote(tmp / "prefix") +
                    " >/dev/null"),
              std::make_pair(0, std::string()));
    std::vector<fs::path> trees{tmp / "prefix"};
    if (Shell("command -v dpkg-deb").first == 0) {
        EXPECT_EQ(Shell(Quote(ZT_CPACK) + " --config " + Quote(build + "/CPackConfig.cmake") + " -G DEB -B " +
                        pkg + " >/dev/null && cd " + pkg + " && dpkg -x *.deb root")
                      .first,
                  0);
        trees.push_back(tmp / "package/root/usr");
        if (Shell("command -v lintian").first == 0) {
            EXPECT_EQ(Shell("lintian " + pkg + "/*.deb | head -n 1"), std::make_pair(0, std::string()));
        }
    }
    for (const fs::path& usr : trees) {
        SCOPED_TRACE(usr.string());
        // Started through bin/ from a folder with no language files in it, on an X server of its own;
        // its window closed as a person would, it ends by itself.
        EXPECT_EQ(Shell("cd " + Quote(tmp) + " && timeout -k 5 40 /usr/bin/python3 " +
                        Quote(source + "/tests/install/close_window.py") + " " + Quote(usr / "bin/zentap")),
                  std::make_pair(0, title));
        const fs::path folder = fs::canonical(usr / "bin/zentap").parent_path();
        for (const char* file : {"MisI01.dat", "MisI02.dat", "MisI03.dat", "MisI04.dat", "MisI05.dat"})
            EXPECT_EQ(Shell("cmp " + Quote(folder / file) + " " + Quote(lang + file)).first, 0) << file;
        // The simulator's help needs no display.
        EXPECT_EQ(Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout -k 5 30 " +
                        Quote(usr / "bin/zentap-reader-sim") + " --help | grep -c -- --port"),
                  std::make_pair(0, std::string("1")));
    }
    fs::remove_all(tmp);
}

}  // namespace
