// C runtime file streams opened by a narrow file name in the ANSI code page.
//
// Names are the program's own relative Windows form ("config\hw_switch_model.ini"),
// as bytes of the ANSI code page (GBK on a Chinese Windows). The Win32 side
// converts them to UTF-16 for the wide C runtime; the POSIX side turns them
// into UTF-8 with each backslash made a slash.
#pragma once

#include <cstdint>
#include <cstdio>

namespace platform {

// Opens the file for reading as a byte stream, or gives nullptr. Binary mode
// on both sides: Windows' text mode would end the stream at a 0x1A byte and
// drop carriage returns, so the two builds would read different lines.
std::FILE* OpenForRead(const char* ansiPath);

// The low 32 bits of the file's last modification time in seconds since
// 1970, or 0 when its status cannot be read.
uint32_t FileModifiedTime(const char* ansiPath);

}  // namespace platform
