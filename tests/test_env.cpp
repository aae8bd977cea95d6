// Linked into every test program: sets the environment the tests rely on unless the caller did.
#include <cstdlib>

namespace {
struct TestEnv {
    TestEnv() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("ZT_BIN_DIR", ZT_BIN_DIR_DEFAULT, 0);
        setenv("ZT_SOURCE_DIR", ZT_SOURCE_DIR_DEFAULT, 0);
    }
};
const TestEnv kTestEnv;
}  // namespace
