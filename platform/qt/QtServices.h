#pragma once
// Real implementations of the platform seams on Qt.
#include <memory>
#include <string>

#include "platform/Services.h"

class QSettings;

namespace pellucor::platform::qt {

class QtMessageBox final : public MessageBoxService {
public:
    MsgResult Show(const std::string& text, const std::string& caption, MsgButtons buttons,
                   MsgIcon icon) override;
};

class QtFileDialogs final : public FileDialogService {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest& req) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& req) override;
};

// Registry stand-in: an INI file per scope. Machine-wide values cannot be
// written by a user on Linux, so they live in a per-user file of their own.
class IniSettingsStore final : public SettingsStore {
public:
    IniSettingsStore(const std::string& userFile, const std::string& machineFile);
    ~IniSettingsStore() override;
    // Files under the per-user configuration folder.
    static std::string DefaultUserFile();
    static std::string DefaultMachineFile();

    bool KeyExists(SettingsScope scope, const std::string& key) override;
    std::optional<std::string> ReadString(SettingsScope scope, const std::string& key,
                                          const std::string& name) override;
    bool WriteString(SettingsScope scope, const std::string& key, const std::string& name,
                     const std::string& value) override;

private:
    QSettings& Store(SettingsScope scope);
    std::unique_ptr<QSettings> user_, machine_;
};

class QtMessagePump final : public MessagePump {
public:
    void ProcessOneMessage() override;
};

// Owns one of each and installs them for the life of the program.
class QtServices {
public:
    QtServices();
    ~QtServices();
    QtMessageBox messages;
    QtFileDialogs fileDialogs;
    IniSettingsStore settings;
    QtMessagePump pump;
};

}  // namespace pellucor::platform::qt
