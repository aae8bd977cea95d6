// Linked into every test program: sets the environment the tests rely on unless the caller did.
#include <cstdlib>

namespace {
void SetDefault(const char* name, const char* value) {
#ifdef _WIN32
    if (std::getenv(name) == nullptr) _putenv_s(name, value);
#else
    setenv(name, value, 0);
#endif
}

struct TestEnv {
    TestEnv() {
#ifndef _WIN32
        // Windows always has a desktop to draw on (under wine a virtual one): the tests use it.
        SetDefault("QT_QPA_PLATFORM", "offscreen");
#endif
        SetDefault("ZT_BIN_DIR", ZT_BIN_DIR_DEFAULT);
        SetDefault("ZT_SOURCE_DIR", ZT_SOURCE_DIR_DEFAULT);
    }
};
const TestEnv kTestEnv;
}  // namespace
