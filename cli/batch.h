// brenvik-cli batch: one press per row of a CSV file.
#pragma once

#include <string>

namespace cli {

// Returns an ExitCode: every row done, some row failed, or a file that
// cannot be used at all (nothing generated then).
int RunBatch(const std::string& csvPath, const std::string& outDir);

}  // namespace cli
