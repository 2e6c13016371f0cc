// One press of the generate button, driven from the command line.
#pragma once

#include <optional>
#include <string>

#include "cli/form.h"
#include "platform/text.h"

namespace cli {

struct PressTarget {
    std::optional<WString> copyTo;  // the Save As choice; none: cancelled
    bool toStdout = false;          // the output file's bytes to standard output
    std::string messagePrefix;      // put before every message line ("row 3: ")
};

enum class PressOutcome {
    Done,    // the output file was written, and copied where asked
    Failed,  // a message or file error ended the press, or the copy failed
};

// Runs the dialog's sequence on the form. Every message goes to standard
// error as one line, after the prefix.
PressOutcome RunPress(const FormSnapshot& form, const PressTarget& target);

}  // namespace cli
