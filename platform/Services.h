#pragma once
// The program-wide set of platform seams. The programs install the real ones
// at start; tests install doubles (see platform/testing).
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorSink.h"
#include "platform/MessagePump.h"
#include "platform/Settings.h"

namespace pellucor::platform {

struct Services {
    MessageBoxService* messages = nullptr;
    FileDialogService* fileDialogs = nullptr;
    SettingsStore* settings = nullptr;
    Clock* clock = nullptr;
    MessagePump* pump = nullptr;
    ErrorSink* errors = nullptr;
};

// Never returns null members: unset seams fall back to safe defaults
// (no box answered OK is never assumed: the default message box refuses to
// guess and reports to the error sink, answering Cancel/No).
Services& services();
void InstallServices(const Services& s);
void ResetServices();

// Convenience wrappers used throughout the core.
MsgResult ShowMessage(const std::string& text, const std::string& caption,
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);
DateTime Now();
void PumpOneMessage();
void ReportError(const std::string& text);

}  // namespace pellucor::platform
