// Runs the real brenvik-cli as a child process, as a user's shell would.
#pragma once

#include <string>
#include <vector>

struct CliRun {
    int exitCode = -1;
    std::string out;  // standard output, bytes as written
    std::string err;  // standard error
};

// brenvik-cli beside this test program, with the arguments (UTF-8; wide on
// Windows, so the child's wide command line is what is tested), in the folder
// cwd. Standard output and error go to files in the current folder, so the
// child sees no console, as under a script. A child that does not end within
// a minute is ended and reported as exit code -1.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& cwd = ".");

#ifdef _WIN32
// The same with standard output on a console screen buffer of the caller's
// (an inheritable handle); only standard error is captured then.
CliRun RunCliOnConsole(const std::vector<std::string>& arguments, void* consoleBuffer,
                       const std::string& cwd = ".");
#endif

// The command line Windows programs split back into the same arguments
// (the C runtime's rules for quotes and backslashes).
std::wstring QuoteWindowsArguments(const std::vector<std::wstring>& arguments);
