#include "cli/console.h"

#include <windows.h>

#include <string>

#include "platform/text.h"

namespace cli {
namespace {

HANDLE Handle(Stream stream) {
    return GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool WriteAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

}  // namespace

void WriteText(Stream stream, std::string_view utf8) {
    HANDLE handle = Handle(stream);
    if (!IsConsole(handle)) {
        WriteAll(handle, utf8);
        return;
    }
    WString text = Utf8ToWide(utf8);
    const wchar_t* rest = WinStr(text);
    size_t left = text.size();
    while (left > 0) {
        DWORD chunk = left > 8192 ? 8192 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteConsoleW(handle, rest, chunk, &written, nullptr) || written == 0) return;
        rest += written;
        left -= written;
    }
}

void WriteLine(Stream stream, std::string_view utf8) {
    // A single LF: a console's processed output starts a new line on it, and
    // a script reading a pipe sees the same bytes from both builds.
    std::string line(utf8);
    line += '\n';
    WriteText(stream, line);
}

bool WriteBytes(std::string_view bytes) { return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes); }

}  // namespace cli
