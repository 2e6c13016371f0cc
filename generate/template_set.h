// The file names of one press, and the merge of the templates.
#pragma once

#include "generate/request.h"
#include "platform/text.h"

struct TemplateSet {
    WString baseTemplatePath;
    WString mabTemplatePath;
    WString escapeVlanTemplatePath;
    WString guestVlanTemplatePath;
    WString mergePath;
    WString outputFileName;
    WString outputPath;
};

TemplateSet MakeTemplateSet(const WString& vendorName, const WString& modelName);

// What MergeTemplates tells its caller; the caller shows the message.
struct MergeResult {
    enum class Kind {
        Ok,
        TemplateMissing,   // a selected template cannot be opened or read: file
        LineTooLong,       // a template line over 998 bytes: file, line (1-based)
        MergeFileFailed,   // the merge file cannot be created or written: file, osError
    };
    Kind kind = Kind::Ok;
    WString file;
    int line = 0;
    int osError = 0;
};

// Copies the base template and the fragments the request selects into the
// merge file, byte for byte by the line rules, and closes every file. Stops
// at the first failure; every selected template is opened before the merge
// file is created, so a missing one leaves the merge file as it was.
MergeResult MergeTemplates(const SwitchConfigRequest& request, const TemplateSet& set);
