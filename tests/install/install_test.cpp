// The programs as a user gets them: the Debian package unpacked with dpkg -x, and cmake --install
// into a fresh prefix. In both trees the installed zentap must start and find its language files by
// its own location, not through the build tree; the simulator must run; the desktop entries must
// name installed files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string LastLine(std::string out) {
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out.substr(out.rfind('\n') + 1);
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
        // The package, unpacked as dpkg would (dpkg -x) with its control files beside.
        const fs::path out = t.tmp / "package";
        const Result pack =
            Shell(Quote(ZT_CPACK) + " --config " + Quote(kBuild + "/CPackConfig.cmake") + " -G DEB -B " +
                  Quote(out) + " >&2 && cd " + Quote(out) +
                  " && deb=$(ls *.deb) && dpkg -x \"$deb\" root && dpkg-deb -e \"$deb\" control" +
                  " && echo \"$deb\"");
        if (pack.code != 0) {
            t.debError = "making or unpacking the .deb failed:\n" + pack.err;
            return;
        }
        t.deb = out / LastLine(pack.out);
        t.debRoot = out / "root";
        t.debControl = out / "control";
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

// Starts a zentap in `cwd` on an X server of its own, reads its window's title and closes the
// window as a person would; the program must then end by itself.
std::string StartZentap(const fs::path& program, const fs::path& cwd) {
    const Result r = Shell("cd " + Quote(cwd) + " && timeout -k 5 40 /usr/bin/python3 " +
                           Quote(kSource + "/tests/install/close_window.py") + " " + Quote(program));
    EXPECT_EQ(r.code, 0) << "zentap did not end when its window was closed\n" << r.err;
    return LastLine(r.out);
}

// The window title in the start language: message 2 of MisI01.dat.
std::string CatalogueTitle() {
    return LastLine(
        Shell("sed -n 2p " + Quote(kSource + "/lang/MisI01.dat") + " | iconv -f CP1252 -t UTF-8").out);
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
        EXPECT_TRUE(fs::is_regular_file(icon)) << "Icon=" << keys["Icon"];
    }
}

TEST_P(Installed, ProgramsRunAndZentapFindsItsLanguageFiles) {
    const std::string title = CatalogueTitle();
    ASSERT_FALSE(title.empty());
    // Started through bin/ from a folder with no language files in it.
    EXPECT_EQ(StartZentap(usr / "bin/zentap", T().tmp), title);
    // All five files beside the real program, as shipped (CR LF, cp1252). A link to the program
    // must be relative: an absolute one would point into the tree the package was made in.
    if (fs::is_symlink(usr / "bin/zentap")) {
        EXPECT_TRUE(fs::read_symlink(usr / "bin/zentap").is_relative());
    }
    const fs::path folder = fs::canonical(usr / "bin/zentap").parent_path();
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "MisI0" + std::to_string(n) + ".dat";
        EXPECT_EQ(ReadFile(folder / name), ReadFile(fs::path(kSource) / "lang" / name)) << name;
    }

    // The simulator on a machine with no display.
    const Result sim = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout -k 5 30 " +
                             Quote(usr / "bin/zentap-reader-sim") + " --help");
    EXPECT_EQ(sim.code, 0) << sim.err;
    EXPECT_NE(sim.out.find("--port"), std::string::npos) << sim.out;
}

// Counter-check of the start test: the same program copied away from its language files does not
// show the catalogue's title (the desktop shows the program's name for an empty one), also when
// started from the folder that holds them. So the files are found beside the program, not in the
// working folder or the build tree.
TEST(InstalledProgram, WithoutLanguageFilesBesideItTheTitleIsNotTheCatalogues) {
    ASSERT_TRUE(T().prefixError.empty()) << T().prefixError;
    const fs::path real = fs::canonical(T().prefix / "bin/zentap");
    const fs::path bare = T().tmp / "bare";
    fs::create_directories(bare);
    fs::copy_file(real, bare / "zentap", fs::copy_options::overwrite_existing);
    EXPECT_NE(StartZentap(bare / "zentap", real.parent_path()), CatalogueTitle());
}

// ---- The package itself -------------------------------------------------------------------------

class DebPackage : public ::testing::Test {
protected:
    void SetUp() override {
        if (T().debError == "dpkg-deb is not available") GTEST_SKIP() << T().debError;
        ASSERT_TRUE(T().debError.empty()) << T().debError;
    }
};

TEST_F(DebPackage, InstallsOnlyUnderUsrAndItsScriptIsSound) {
    const Result c = Shell("dpkg-deb -c " + Quote(T().deb));
    ASSERT_EQ(c.code, 0) << c.err;
    for (const std::string& line : Lines(c.out)) {
        if (line.empty()) continue;
        const std::string path = line.substr(line.find("./"));
        EXPECT_TRUE(path == "./" || path.rfind("./usr/", 0) == 0) << line;
    }
    const fs::path postinst = T().debControl / "postinst";
    ASSERT_TRUE(IsExecutableFile(postinst));
    const Result syntax = Shell("sh -n " + Quote(postinst));
    EXPECT_EQ(syntax.code, 0) << syntax.err;
}

TEST_F(DebPackage, LintianFindsNothing) {
    if (!HaveProgram("lintian")) GTEST_SKIP() << "lintian is not available";
    const Result r = Shell("lintian " + Quote(T().deb));
    EXPECT_EQ(r.out, "");
}

}  // namespace
