#pragma once
// Stand-in for the registry: string values under keys, per user and machine-wide.
#include <optional>
#include <string>

namespace pellucor::platform {

enum class SettingsScope {
    User,     // per-user values (folders, image viewer)
    Machine,  // install-time values; on Linux a per-user file of their own
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // key uses backslashes as separators, as the registry does.
    virtual bool KeyExists(SettingsScope scope, const std::string& key) = 0;
    virtual std::optional<std::string> ReadString(SettingsScope scope, const std::string& key,
                                                  const std::string& name) = 0;
    // Returns false when the value could not be stored.
    virtual bool WriteString(SettingsScope scope, const std::string& key, const std::string& name,
                             const std::string& value) = 0;
};

}  // namespace pellucor::platform
