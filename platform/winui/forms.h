// Text in the forms the Win32 calls want: pure functions, tested on every build.
#pragma once

#include "platform/text.h"

namespace winui {

// The application name: the executable's file name without folder and
// without its last extension ("C:\Tools\Brenvik.exe" -> "Brenvik").
WString AppNameFromModulePath(WStringView path);

// A filter written "label|patterns|label|patterns||" in the NUL-separated
// form of the classic file dialog: every "|" becomes a NUL, and the result
// ends with two NULs however the text ended.
WString FilterToApi(WStringView filter);

}  // namespace winui
