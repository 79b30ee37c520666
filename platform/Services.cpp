#include "platform/Services.h"

#include <chrono>
#include <ctime>
#include <iostream>

namespace pellucor::platform {
namespace {

class StderrSink final : public ErrorSink {
public:
    void Write(const std::string& text) override { std::cerr << text << std::flush; }
};

class SystemClock final : public Clock {
public:
    DateTime Now() override {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
        const std::time_t tt = system_clock::to_time_t(now);
        std::tm tmv{};
        localtime_r(&tt, &tmv);
        DateTime t;
        t.year = tmv.tm_year + 1900;
        t.month = tmv.tm_mon + 1;
        t.day = tmv.tm_mday;
        t.hour = tmv.tm_hour;
        t.minute = tmv.tm_min;
        t.second = tmv.tm_sec;
        t.msec = static_cast<int>(ms);
        return t;
    }
};

class NoPump final : public MessagePump {
public:
    void ProcessOneMessage() override {}
};

// Without a window system nobody can answer: say so and take the cautious
// answer, never a silent "Yes".
class HeadlessMessageBox final : public MessageBoxService {
public:
    MsgResult Show(const std::string& text, const std::string& caption, MsgButtons buttons,
                   MsgIcon) override {
        std::cerr << "[" << caption << "] " << text << "\n";
        switch (buttons) {
            case MsgButtons::Ok: return MsgResult::Ok;
            case MsgButtons::OkCancel: return MsgResult::Cancel;
            case MsgButtons::YesNo: return MsgResult::No;
            case MsgButtons::YesNoCancel: return MsgResult::Cancel;
        }
        return MsgResult::Cancel;
    }
};

class NoFileDialogs final : public FileDialogService {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

struct Defaults {
    StderrSink sink;
    SystemClock clock;
    NoPump pump;
    HeadlessMessageBox box;
    NoFileDialogs files;
    MemorySettingsStore settings;
};

Defaults& defaults() {
    static Defaults d;
    return d;
}

Services MakeDefaults() {
    Defaults& d = defaults();
    return Services{&d.box, &d.files, &d.settings, &d.clock, &d.pump, &d.sink};
}

Services& current() {
    static Services s = MakeDefaults();
    return s;
}

}  // namespace

Services& services() { return current(); }

void InstallServices(const Services& s) {
    Services d = MakeDefaults();
    Services& c = current();
    c.messages = s.messages ? s.messages : d.messages;
    c.fileDialogs = s.fileDialogs ? s.fileDialogs : d.fileDialogs;
    c.settings = s.settings ? s.settings : d.settings;
    c.clock = s.clock ? s.clock : d.clock;
    c.pump = s.pump ? s.pump : d.pump;
    c.errors = s.errors ? s.errors : d.errors;
}

void ResetServices() { current() = MakeDefaults(); }

MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                      MsgIcon icon) {
    return services().messages->Show(text, caption, buttons, icon);
}

DateTime Now() { return services().clock->Now(); }

void PumpOneMessage() { services().pump->ProcessOneMessage(); }

void ReportError(const std::string& text) { services().errors->Write(text); }

}  // namespace pellucor::platform
