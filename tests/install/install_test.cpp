// The programs as a user gets them: the Debian package unpacked with dpkg -x, and cmake --install
// into a fresh prefix. Both trees must hold the programs, the language files where the catalogue
// looks for them, valid desktop entries with their icons and the documentation, and the installed
// zentap must start and find its language files by its own location, not through the build tree.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kBuild = ZT_BUILD_DIR;
const std::string kSource = ZT_SOURCE_DIR;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs a shell command line; stdout and stderr are kept apart.
Result Shell(const std::string& cmd) {
    char errName[] = "/tmp/zt_install_err_XXXXXX";
    const int fd = mkstemp(errName);
    if (fd >= 0) close(fd);
    Result r;
    FILE* p = popen((cmd + " 2>" + Quote(errName)).c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFile(errName);
    fs::remove(errName);
    return r;
}

bool HaveProgram(const std::string& name) {
    return Shell("command -v " + Quote(name)).code == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsExecutableFile(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR) != 0;
}

// ---- The two installed trees, made once ---------------------------------------------------------

struct Trees {
    fs::path tmp;
    fs::path deb;         // the package file
    fs::path debRoot;     // dpkg -x
    fs::path debControl;  // dpkg-deb -e
    fs::path prefix;      // cmake --install --prefix
    std::string debError;
    std::string prefixError;
};

Trees& T() {
    static Trees t;
    return t;
}

class TreesEnv : public ::testing::Environment {
public:
    void SetUp() override {
        Trees& t = T();
        char name[] = "/tmp/zt_install_XXXXXX";
        t.tmp = mkdtemp(name);

        t.prefix = t.tmp / "prefix";
        const Result inst =
            Shell(Quote(ZT_CMAKE) + " --install " + Quote(kBuild) + " --prefix " + Quote(t.prefix));
        if (inst.code != 0) t.prefixError = "cmake --install failed:\n" + inst.out + inst.err;

        if (!HaveProgram("dpkg-deb")) {
            t.debError = "dpkg-deb is not available";
            return;
        }
        const fs::path out = t.tmp / "package";
        const Result pack = Shell(Quote(ZT_CPACK) + " --config " + Quote(kBuild + "/CPackConfig.cmake") +
                                  " -G DEB -B " + Quote(out));
        if (pack.code != 0) {
            t.debError = "cpack failed:\n" + pack.out + pack.err;
            return;
        }
        for (const auto& e : fs::directory_iterator(out))
            if (e.path().extension() == ".deb") t.deb = e.path();
        if (t.deb.empty()) {
            t.debError = "cpack made no .deb:\n" + pack.out;
            return;
        }
        t.debRoot = t.tmp / "root";
        t.debControl = t.tmp / "control";
        const Result x = Shell("dpkg -x " + Quote(t.deb) + " " + Quote(t.debRoot) + " && dpkg-deb -e " +
                               Quote(t.deb) + " " + Quote(t.debControl));
        if (x.code != 0) t.debError = "unpacking the .deb failed:\n" + x.err;
    }
    void TearDown() override {
        if (std::getenv("ZT_KEEP_INSTALL_TEST") == nullptr && !T().tmp.empty()) fs::remove_all(T().tmp);
    }
};

[[maybe_unused]] const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new TreesEnv);

enum class Tree { Deb, Prefix };

std::string TreeName(const ::testing::TestParamInfo<Tree>& info) {
    return info.param == Tree::Deb ? "DebPackage" : "CmakeInstall";
}

class Installed : public ::testing::TestWithParam<Tree> {
protected:
    void SetUp() override {
        const std::string& error = GetParam() == Tree::Deb ? T().debError : T().prefixError;
        if (GetParam() == Tree::Deb && error == "dpkg-deb is not available") GTEST_SKIP() << error;
        ASSERT_TRUE(error.empty()) << error;
        usr = GetParam() == Tree::Deb ? T().debRoot / "usr" : T().prefix;
    }
    fs::path usr;
};

INSTANTIATE_TEST_SUITE_P(Trees, Installed, ::testing::Values(Tree::Deb, Tree::Prefix), TreeName);

// The window title zentap shows in its start language: message 2 of MisI01.dat, as UTF-8.
std::string StartTitle() {
    const Result r =
        Shell("sed -n 2p " + Quote(kSource + "/lang/MisI01.dat") + " | iconv -f CP1252 -t UTF-8");
    std::string title = r.out;
    while (!title.empty() && (title.back() == '\n' || title.back() == '\r')) title.pop_back();
    return title;
}

// Starts a zentap offscreen in `cwd`; it quits by itself after a moment and prints its title.
Result StartZentap(const fs::path& program, const fs::path& cwd) {
    return Shell("cd " + Quote(cwd) +
                 " && env QT_QPA_PLATFORM=offscreen ZT_SELFTEST_EXIT_MS=300 timeout -k 5 15 " +
                 Quote(program));
}

std::string PrintedTitle(const Result& r) {
    std::string out = r.out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    const size_t nl = out.rfind('\n');
    return nl == std::string::npos ? out : out.substr(nl + 1);
}

// ---- Layout -------------------------------------------------------------------------------------

TEST_P(Installed, HoldsTheProgramsAndTheDocumentation) {
    struct Entry {
        const char* path;
        bool program;
    };
    const Entry entries[] = {
        {"bin/zentap", true},
        {"bin/zentap-reader-sim", true},
        {"share/doc/zentap/README.md", false},
        {"share/doc/zentap/LICENSE", false},
        {"share/doc/zentap/copyright", false},
        {"share/doc/zentap/guide.md", false},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.path);
        const fs::path p = usr / e.path;
        if (e.program) {
            EXPECT_TRUE(IsExecutableFile(p));
        } else {
            EXPECT_TRUE(fs::is_regular_file(p));
        }
    }
    const std::string license = ReadFile(usr / "share/doc/zentap/LICENSE");
    EXPECT_NE(license.find("MIT License"), std::string::npos);
    EXPECT_NE(license.find("Zentap developers"), std::string::npos);
}

TEST_P(Installed, LanguageFilesSitBesideTheRealProgram) {
    const fs::path link = usr / "bin/zentap";
    ASSERT_TRUE(fs::exists(link));
    // A link must be relative: an absolute one would point into the tree the package was made in.
    if (fs::is_symlink(link)) {
        EXPECT_TRUE(fs::read_symlink(link).is_relative()) << fs::read_symlink(link);
    }
    const fs::path folder = fs::canonical(link).parent_path();
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "MisI0" + std::to_string(n) + ".dat";
        SCOPED_TRACE(name);
        ASSERT_TRUE(fs::is_regular_file(folder / name)) << folder;
        EXPECT_EQ(ReadFile(folder / name),
                  ReadFile(fs::path(kSource) / "lang" / name));  // CR LF, cp1252 intact
    }
}

TEST_P(Installed, ProgramsDoNotPointIntoTheBuildTree) {
    if (!HaveProgram("readelf")) GTEST_SKIP() << "readelf is not available";
    for (const fs::path& p :
         {fs::canonical(usr / "bin/zentap"), fs::canonical(usr / "bin/zentap-reader-sim")}) {
        SCOPED_TRACE(p.string());
        const Result r = Shell("readelf -d " + Quote(p));
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out.find(kBuild), std::string::npos) << r.out;
    }
}

TEST_P(Installed, DesktopEntriesAreValidAndNameInstalledFiles) {
    const bool validator = HaveProgram("desktop-file-validate");
    for (const char* entry : {"zentap.desktop", "zentap-reader-sim.desktop"}) {
        SCOPED_TRACE(entry);
        const fs::path file = usr / "share/applications" / entry;
        ASSERT_TRUE(fs::is_regular_file(file));
        if (validator) {
            const Result r = Shell("desktop-file-validate " + Quote(file));
            EXPECT_EQ(r.code, 0) << r.out << r.err;
            EXPECT_EQ(r.out, "");  // no warnings either
        }
        std::map<std::string, std::string> keys;
        for (const std::string& line : Lines(ReadFile(file))) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
        }
        const std::string exec = keys["Exec"].substr(0, keys["Exec"].find(' '));
        EXPECT_TRUE(IsExecutableFile(usr / "bin" / exec)) << "Exec=" << keys["Exec"];
        const fs::path icon = usr / "share/icons/hicolor/scalable/apps" / (keys["Icon"] + ".svg");
        ASSERT_TRUE(fs::is_regular_file(icon)) << "Icon=" << keys["Icon"];
        EXPECT_NE(ReadFile(icon).find("<svg"), std::string::npos);
        EXPECT_NE((";" + keys["Categories"]).find(";Utility;"), std::string::npos) << keys["Categories"];
    }
}

// ---- The installed programs run -----------------------------------------------------------------

TEST_P(Installed, ZentapStartsAndFindsItsLanguageFiles) {
    const std::string title = StartTitle();
    ASSERT_FALSE(title.empty());
    // Started through bin/ from a folder with no language files in it.
    const Result r = StartZentap(usr / "bin/zentap", T().tmp);
    ASSERT_NE(r.code, 124) << "zentap did not quit by itself: ZT_SELFTEST_EXIT_MS not honoured\n" << r.err;
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(PrintedTitle(r), title) << r.out << r.err;
}

TEST_P(Installed, SimulatorRunsFromTheInstalledTree) {
    const Result r = Shell("env QT_QPA_PLATFORM=offscreen timeout -k 5 30 " +
                           Quote(usr / "bin/zentap-reader-sim") + " --help");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("--port"), std::string::npos) << r.out;
}

// Counter-check of the start test: the same program copied away from its language files shows an
// empty title, also when started from the folder that holds them. So the files are found beside
// the program, not in the working folder or the build tree.
TEST(InstalledProgram, WithoutLanguageFilesBesideItTheTitleIsEmpty) {
    ASSERT_TRUE(T().prefixError.empty()) << T().prefixError;
    const fs::path real = fs::canonical(T().prefix / "bin/zentap");
    const fs::path bare = T().tmp / "bare";
    fs::create_directories(bare);
    fs::copy_file(real, bare / "zentap", fs::copy_options::overwrite_existing);
    const Result r = StartZentap(bare / "zentap", real.parent_path());
    ASSERT_NE(r.code, 124) << "zentap did not quit by itself: ZT_SELFTEST_EXIT_MS not honoured\n" << r.err;
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(PrintedTitle(r), "") << r.out;
}

// ---- The package itself -------------------------------------------------------------------------

class DebPackage : public ::testing::Test {
protected:
    void SetUp() override {
        if (T().debError == "dpkg-deb is not available") GTEST_SKIP() << T().debError;
        ASSERT_TRUE(T().debError.empty()) << T().debError;
    }
};

TEST_F(DebPackage, ControlFieldsAndQtRuntimeDependencies) {
    const Result f = Shell("dpkg-deb -f " + Quote(T().deb));
    ASSERT_EQ(f.code, 0) << f.err;
    std::map<std::string, std::string> field;
    for (const std::string& line : Lines(f.out)) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos && line[0] != ' ')
            field[line.substr(0, colon)] = line.substr(colon + 2);
    }
    EXPECT_EQ(field["Package"], "zentap");
    EXPECT_EQ(field["Version"].rfind(ZT_VERSION, 0), 0u) << field["Version"];
    EXPECT_EQ(field["Architecture"] + "\n", Shell("dpkg --print-architecture").out);
    EXPECT_FALSE(field["Maintainer"].empty());
    EXPECT_FALSE(field["Description"].empty());

    std::vector<std::string> depends;  // package names only
    std::istringstream in(field["Depends"]);
    for (std::string item; std::getline(in, item, ',');) {
        const size_t b = item.find_first_not_of(' ');
        item = item.substr(b, item.find_first_of(" (", b) - b);
        depends.push_back(item);
    }
    for (const char* qt :
         {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6", "libqt6serialport6"}) {
        SCOPED_TRACE(qt);
        EXPECT_TRUE(std::find(depends.begin(), depends.end(), qt) != depends.end()) << field["Depends"];
    }
}

TEST_F(DebPackage, InstallsOnlyUnderUsrAndItsScriptIsSound) {
    const Result c = Shell("dpkg-deb -c " + Quote(T().deb));
    ASSERT_EQ(c.code, 0) << c.err;
    for (const std::string& line : Lines(c.out)) {
        if (line.empty()) continue;
        const std::string path = line.substr(line.find("./"));
        EXPECT_TRUE(path == "./" || path.rfind("./usr/", 0) == 0) << line;
        EXPECT_NE(line.find("root/root"), std::string::npos) << line;
    }
    const fs::path postinst = T().debControl / "postinst";
    ASSERT_TRUE(IsExecutableFile(postinst));
    const Result syntax = Shell("sh -n " + Quote(postinst));
    EXPECT_EQ(syntax.code, 0) << syntax.err;
}

}  // namespace
