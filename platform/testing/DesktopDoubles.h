#pragma once
// Doubles of the help viewer and the program runner: they record each request
// and answer from a script, so no test shows a viewer or starts a program.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace pellucor::platform::testing {

class RecordingHelpViewer final : public HelpViewer {
public:
    struct Request {
        std::string file;
        int context;  // 0 for the contents
    };
    bool ShowContents(const std::string& helpFile) override {
        requests.push_back({helpFile, 0});
        return answer;
    }
    bool ShowContext(const std::string& helpFile, int context) override {
        requests.push_back({helpFile, context});
        return answer;
    }
    std::vector<Request> requests;
    bool answer = true;
};

// Returns queued exit codes (0 when none is queued) and keeps the paths started.
class ScriptedProgramRunner final : public ProgramRunner {
public:
    int RunAndWait(const std::string& path) override {
        started.push_back(path);
        if (whileRunning) whileRunning(path);
        if (results.empty()) return 0;
        const int r = results.front();
        results.pop_front();
        return r;
    }
    std::vector<std::string> started;
    std::deque<int> results;  // -1: the program could not be started
    // Called while the program "runs" (a test looks at its windows then).
    std::function<void(const std::string&)> whileRunning;
};

// Installs both doubles for the lifetime of the object.
class ScopedDesktopServices {
public:
    ScopedDesktopServices() { InstallDesktopServices(DesktopServices{&help, &programs}); }
    ~ScopedDesktopServices() { ResetDesktopServices(); }
    ScopedDesktopServices(const ScopedDesktopServices&) = delete;
    ScopedDesktopServices& operator=(const ScopedDesktopServices&) = delete;

    RecordingHelpViewer help;
    ScriptedProgramRunner programs;
};

}  // namespace pellucor::platform::testing
