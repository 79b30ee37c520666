#pragma once
// Scripted doubles of the platform seams for tests. Install them with
// ScopedServices so each test starts from a clean set.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace pellucor::platform::testing {

struct ShownMessage {
    std::string text;
    std::string caption;
    MsgButtons buttons;
};

// Answers boxes from a queue and keeps a transcript. A box with no answer
// queued is a test failure (reported through the failure hook), answered with
// the cautious choice.
class ScriptedMessageBox final : public MessageBoxService {
public:
    MsgResult Show(const std::string& text, const std::string& caption, MsgButtons buttons,
                   MsgIcon icon) override;

    // Queue an answer for the next box.
    void Answer(MsgResult r) { answers_.push_back(r); }
    // Plain OK boxes need no queued answer when this is set (the default).
    bool autoOk = true;

    const std::vector<ShownMessage>& transcript() const { return transcript_; }
    void clear() { transcript_.clear(); answers_.clear(); }
    size_t pendingAnswers() const { return answers_.size(); }

    std::function<void(const std::string&)> onUnexpected;  // defaults to a gtest failure

private:
    std::deque<MsgResult> answers_;
    std::vector<ShownMessage> transcript_;
};

class ScriptedFileDialogs final : public FileDialogService {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest& req) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& req) override;
    // Queue the next answers; std::nullopt means "cancelled".
    void AnswerOpen(std::optional<std::string> path) { opens_.push_back(std::move(path)); }
    void AnswerSave(std::optional<std::string> path) { saves_.push_back(std::move(path)); }
    std::vector<FileDialogRequest> requests;

private:
    std::deque<std::optional<std::string>> opens_, saves_;
};

// The time of day stays `now`; the interval clock stands at `monotonic`
// unless `monotonicSource` is given (tests advance it as they like).
class FixedClock final : public Clock {
public:
    DateTime now;
    double monotonic = 0.0;
    std::function<double()> monotonicSource;
    DateTime Now() override { return now; }
    double MonotonicSeconds() override { return monotonicSource ? monotonicSource() : monotonic; }
};

// Counts calls; after `stopAfter` calls runs `onStop` (e.g. sets the stop flag).
class CountingPump final : public MessagePump {
public:
    void ProcessOneMessage() override;
    int calls = 0;
    int stopAfter = -1;
    std::function<void()> onStop;
};

class CapturingErrorSink final : public ErrorSink {
public:
    void Write(const std::string& text) override { captured += text; }
    std::string captured;
};

// The memory store of the platform layer serves as the settings double.
using MemorySettingsStore = platform::MemorySettingsStore;

// Installs a full set of doubles for the lifetime of the object.
class ScopedServices {
public:
    ScopedServices();
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

    ScriptedMessageBox messages;
    ScriptedFileDialogs fileDialogs;
    MemorySettingsStore settings;
    FixedClock clock;
    CountingPump pump;
    CapturingErrorSink errors;
};

}  // namespace pellucor::platform::testing
