#include "run_cli.h"

#include <chrono>
#include <thread>

#include "platform/text.h"
#include "tests/support/test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

constexpr auto kDeadline = std::chrono::seconds(60);
const char kOutFile[] = "cli_run_stdout.bin";
const char kErrFile[] = "cli_run_stderr.bin";

// What the child wrote there; nothing when it made no file.
std::string Slurp(const char* path) { return testsupport::Read(path).value_or(""); }

}  // namespace

std::wstring QuoteWindowsArguments(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty()) line += L' ';
        if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
            line += argument;
            continue;
        }
        line += L'"';
        size_t backslashes = 0;
        for (wchar_t c : argument) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote are doubled, and the quote escaped.
            line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        // Before the closing quote, too.
        line.append(backslashes * 2, L'\\');
        line += L'"';
    }
    return line;
}

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    WString text = Utf8ToWide(utf8);
    return std::wstring(text.begin(), text.end());
}

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"brenvik-cli.exe";
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE && h != nullptr) CloseHandle(h);
    }
};

HANDLE Inheritable(const wchar_t* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

CliRun RunWindows(const std::vector<std::string>& arguments, const std::string& cwd, HANDLE console) {
    CliRun run;
    const std::wstring program = ProgramPath();
    std::vector<std::wstring> all{program};
    for (const std::string& argument : arguments) all.push_back(Wide(argument));
    std::wstring line = QuoteWindowsArguments(all);

    {
        Handle in, out, err;
        in.h = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
        out.h = Inheritable(Wide(kOutFile).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
        err.h = Inheritable(Wide(kErrFile).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.h;
        startup.hStdOutput = console ? console : out.h;
        startup.hStdError = err.h;
        PROCESS_INFORMATION process = {};
        std::wstring directory = Wide(cwd);
        if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            directory.c_str(), &startup, &process))
            return run;
        Handle processHandle, threadHandle;
        processHandle.h = process.hProcess;
        threadHandle.h = process.hThread;
        DWORD millis = static_cast<DWORD>(std::chrono::milliseconds(kDeadline).count());
        if (WaitForSingleObject(process.hProcess, millis) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        } else {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            run.exitCode = static_cast<int>(code);
        }
    }
    run.out = Slurp(kOutFile);
    run.err = Slurp(kErrFile);
    return run;
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& cwd) {
    return RunWindows(arguments, cwd, nullptr);
}

CliRun RunCliOnConsole(const std::vector<std::string>& arguments, void* consoleBuffer,
                       const std::string& cwd) {
    return RunWindows(arguments, cwd, consoleBuffer);
}

#else

namespace {

std::string ProgramPath() {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + "brenvik-cli";
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& cwd) {
    CliRun run;
    const std::string program = ProgramPath();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, kOutFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, kErrFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = Slurp(kOutFile);
    run.err = Slurp(kErrFile);
    return run;
}

#endif
