#pragma once
// Seams for what the programs hand to the desktop and wait on: the help
// viewer and other programs (the image viewer, the reaction-mechanism
// program). Kept apart from Services so each can grow on its own; the programs
// install the Qt ones at start, tests install the doubles of
// platform/testing/DesktopDoubles.h.
#include <string>

namespace pellucor::platform {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the contents page of a help file. False when nothing could be shown.
    virtual bool ShowContents(const std::string& helpFile) = 0;
    // Shows one numbered topic of a help file.
    virtual bool ShowContext(const std::string& helpFile, int context) = 0;
};

class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;
    // Starts the program at `path` with no arguments of its own and waits
    // until it ends. Returns its exit code, or -1 when it could not be started.
    // The caller's windows get no messages in that time.
    virtual int RunAndWait(const std::string& path) = 0;
};

struct DesktopServices {
    HelpViewer* help = nullptr;
    ProgramRunner* programs = nullptr;
};

// Never returns null members: without an installed viewer or runner the
// defaults report to the error sink and show or start nothing.
DesktopServices& desktop();
void InstallDesktopServices(const DesktopServices& d);
void ResetDesktopServices();

}  // namespace pellucor::platform
