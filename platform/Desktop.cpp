#include "platform/Desktop.h"

#include "platform/Services.h"

namespace pellucor::platform {
namespace {

class NoHelpViewer final : public HelpViewer {
public:
    bool ShowContents(const std::string& helpFile) override {
        ReportError("no help viewer: " + helpFile + "\n");
        return false;
    }
    bool ShowContext(const std::string& helpFile, int context) override {
        ReportError("no help viewer: " + helpFile + " #" + std::to_string(context) + "\n");
        return false;
    }
};

class NoProgramRunner final : public ProgramRunner {
public:
    int RunAndWait(const std::string& path) override {
        ReportError("no program runner: " + path + "\n");
        return -1;
    }
};

struct Defaults {
    NoHelpViewer help;
    NoProgramRunner programs;
};

Defaults& defaults() {
    static Defaults d;
    return d;
}

DesktopServices MakeDefaults() { return DesktopServices{&defaults().help, &defaults().programs}; }

DesktopServices& current() {
    static DesktopServices d = MakeDefaults();
    return d;
}

}  // namespace

DesktopServices& desktop() { return current(); }

void InstallDesktopServices(const DesktopServices& d) {
    const DesktopServices fallback = MakeDefaults();
    current().help = d.help ? d.help : fallback.help;
    current().programs = d.programs ? d.programs : fallback.programs;
}

void ResetDesktopServices() { current() = MakeDefaults(); }

}  // namespace pellucor::platform
