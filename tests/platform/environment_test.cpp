// The Windows tests mean something only in the environment a Chinese Windows
// gives: ANSI code page 936. A broken wine setup fails here, loudly.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

TEST(Environment, AnsiCodePageIsGbk) {
    ASSERT_EQ(GetACP(), 936u) << "wine must run with a zh_CN locale (see tools/wine-env.sh)";
    EXPECT_EQ(GetOEMCP(), 936u);
}
#endif
