// The switch model lists: each vendor's model types, read from its list file
// into a list control, in file order, first entry selected.
#pragma once

#include "platform/text.h"

namespace catalog {

// The list that shows the names: the dialog's combo box, or a test's or the
// command line's own.
class ModelList {
public:
    virtual ~ModelList() = default;
    virtual void ResetContent() = 0;
    virtual void InsertString(int index, const WString& text) = 0;
    virtual void SetCurSel(int index) = 0;
};

// A list never holds more names than this, whatever count the file gives.
constexpr int kMaxModelCount = 4096;

// The list file of a vendor position (0 hw, 1 h3c, 2 cisco), relative to the
// working directory in the ANSI code page; nullptr for any other position.
const char* ModelListFile(int vendor);

// Empties the list, then fills it from the vendor's file, first name
// selected. A vendor without a file, a file that cannot be read or one without
// a usable count leaves the list empty. Nothing is shown; the list's own
// exceptions pass through, the document is released on every way out.
void FillModelCombo(ModelList& list, int vendor);

// The text converted from the system's ANSI code page; empty when it cannot be.
WString AnsiToWide(const char* text);

}  // namespace catalog
