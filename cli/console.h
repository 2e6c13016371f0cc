// Text and bytes for the user on standard output and standard error.
//
// Text is UTF-8 inside the command line. A Windows console gets it as wide
// text (WriteConsoleW), so Chinese shows whatever the console's code page;
// a pipe or a file gets the UTF-8 bytes on both systems, so scripts read the
// same bytes everywhere.
#pragma once

#include <string_view>

namespace cli {

enum class Stream { Out, Err };

void WriteText(Stream stream, std::string_view utf8);

// The text and a line feed.
void WriteLine(Stream stream, std::string_view utf8);

// Bytes to standard output exactly as given: no conversion, no line-end
// translation. False when they could not all be written.
bool WriteBytes(std::string_view bytes);

}  // namespace cli
