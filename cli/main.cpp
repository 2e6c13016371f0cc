// The entry point: the arguments as UTF-8, whatever the system hands over.
#include <string>
#include <vector>

#include "cli/app.h"
#include "platform/text.h"

#ifdef _WIN32
// The wide command line: the ANSI one would lose every character outside the
// code page, and Windows hands it over in UTF-16 anyway.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(WideToUtf8(FromWin(argv[i])));
    return cli::RunCommandLine(arguments);
}
#else
int main(int argc, char** argv) {
    return cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
