// The POSIX side's form of the program's paths: each backslash a slash, the
// text in UTF-8.
#pragma once

#include <string>

#include "platform/text.h"

namespace platform {

std::string NativePath(const WString& path);

}  // namespace platform
