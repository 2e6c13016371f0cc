// The GoogleTest side of the file helpers: a scratch folder named after the
// running test, and the read-only requirement.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_files.h"

namespace testsupport {

// A ScratchFolder below the current one, named after the running test, so
// that the leftovers of a crashed test say whose they are.
class TestFolder : public ScratchFolder {
public:
    TestFolder() : ScratchFolder(NameOfCurrentTest()) {}

private:
    static std::string NameOfCurrentTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("scratch_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised tests
        return name;
    }
};

}  // namespace testsupport

// Read-only files behave as on Windows only where ReadOnlyIsEnforced(); the
// run as root under wine skips, the run as the unprivileged user must not.
#define REQUIRE_READ_ONLY_ENFORCED()                                                              \
    do {                                                                                          \
        if (!testsupport::ReadOnlyIsEnforced()) {                                                 \
            if (std::getenv("WINE_AS_NOBODY")) FAIL() << "read-only not enforced as nobody";       \
            GTEST_SKIP() << "wine as root writes to read-only files; the _nobody run tests this"; \
        }                                                                                         \
    } while (0)
