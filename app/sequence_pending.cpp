// Stands in for the generate sequence until generate/sequence.cpp exists:
// validation only. Not built once the real sequence is there.
#include "generate/sequence.h"

void GenerateConfiguration(SwitchConfigRequest& request, const WString&, const WString&, GenerateUi& ui) {
    if (const char16_t* message = ValidateRequest(request)) ui.ShowMessage(message, MessageKind::Plain);
}
