#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

// The tests and the product code under them run with their assertions on (tests/CMakeLists.txt).
#ifdef NDEBUG
#error "tests must build with assertions on"
#endif

int main(int argc, char** argv) {
    // No system error boxes on a virtual display: a test must fail, not hang. A failed assertion
    // is written to standard error too.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    _set_error_mode(_OUT_TO_STDERR);
    // Songs without lyrics are searched for: at a port where nothing listens, never the real service.
    ::SetEnvironmentVariableA("SONELLO_LYRICS_URL", "http://127.0.0.1:9");
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
