// brenvik-cli: the generation of the dialog, driven from a command line.
#pragma once

#include <string>
#include <vector>

namespace cli {

enum ExitCode {
    kExitOk = 0,
    kExitFailed = 1,  // a press failed: validation, template, file, copy
    kExitUsage = 2,   // the command line or the batch file is not usable
};

// The arguments after the program name, as UTF-8.
int RunCommandLine(const std::vector<std::string>& arguments);

}  // namespace cli
