// The programs as a user gets them: the Debian package unpacked with dpkg -x, and cmake --install
// into a fresh prefix. In both trees the installed zentap starts and finds its language files by its
// own location, not through the build tree or the working folder; the simulator runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Starts a zentap in `cwd` on an X server of its own, reads its window's title and closes the
// window as a person would; the program must then end by itself.
std::string StartZentap(const fs::path& program, const fs::path& cwd) {
    const auto [code, last] = Shell("cd " + Quote(cwd) + " && timeout -k 5 40 /usr/bin/python3 " +
                                    Quote(std::string(ZT_SOURCE_DIR) + "/tests/install/close_window.py") + " " + Quote(program));
    EXPECT_EQ(code, 0) << "zentap did not end when its window was closed";
    return last;
}

TEST(Installed, ProgramsRunAndZentapFindsItsLanguageFiles) {
    char name[] = "/tmp/zt_install_XXXXXX";
    const fs::path tmp = mkdtemp(name);
    const std::string build = ZT_BUILD_DIR, source = ZT_SOURCE_DIR;
    // The window title in the start language: message 2 of MisI01.dat.
    const std::string title = Shell("sed -n 2p " + Quote(source + "/lang/MisI01.dat") + " | iconv -f CP1252 -t UTF-8").second;
    ASSERT_FALSE(title.empty());
    std::vector<fs::path> trees;
    auto [code, out] = Shell(Quote(ZT_CMAKE) + " --install " + Quote(build) + " --prefix " + Quote(tmp / "prefix"));
    EXPECT_EQ(code, 0) << out;
    trees.push_back(tmp / "prefix");
    if (Shell("command -v dpkg-deb").first == 0) {
        std::tie(code, out) = Shell(Quote(ZT_CPACK) + " --config " + Quote(build + "/CPackConfig.cmake") + " -G DEB -B " +
                                    Quote(tmp / "package") + " >/dev/null && cd " + Quote(tmp / "package") +
                                    " && dpkg -x *.deb root");
        EXPECT_EQ(code, 0) << out;
        trees.push_back(tmp / "package/root/usr");
        if (Shell("command -v lintian").first == 0) {
            EXPECT_EQ(Shell("lintian " + Quote(tmp / "package") + "/*.deb | head -n 1"), std::make_pair(0, std::string()));
        }
    }
    for (const fs::path& usr : trees) {
        SCOPED_TRACE(usr.string());
        // Started through bin/ from a folder with no language files in it. A link to the program must
        // be relative: an absolute one would point into the tree the package was made in.
        EXPECT_EQ(StartZentap(usr / "bin/zentap", tmp), title);
        if (fs::is_symlink(usr / "bin/zentap")) { EXPECT_TRUE(fs::read_symlink(usr / "bin/zentap").is_relative()); }
        const fs::path folder = fs::canonical(usr / "bin/zentap").parent_path();
        for (int n = 1; n <= 5; ++n) {
            const std::string file = "MisI0" + std::to_string(n) + ".dat";
            EXPECT_EQ(ReadFile(folder / file), ReadFile(fs::path(source) / "lang" / file)) << file;
        }
        const auto [simCode, simOut] = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout -k 5 30 " + Quote(usr / "bin/zentap-reader-sim") +
                                             " --help | grep -c -- --port");
        EXPECT_EQ(simOut, "1") << simCode;
    }
    // The same program copied away from its language files shows no title of the catalogue (the
    // desktop puts the program's name in an empty one), also when started from the folder that holds them.
    const fs::path real = fs::canonical(tmp / "prefix/bin/zentap");
    fs::create_directories(tmp / "bare");
    fs::copy_file(real, tmp / "bare/zentap", fs::copy_options::overwrite_existing);
    EXPECT_NE(StartZentap(tmp / "bare/zentap", real.parent_path()), title);
    fs::remove_all(tmp);
}

}  // namespace
