#pragma once
// Stand-in for the registry: string values under keys, per user and machine-wide.
#include <map>
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

// Values kept in memory only: the store when no settings file is installed,
// and the tests' settings double (which can also be told to refuse writes).
class MemorySettingsStore final : public SettingsStore {
public:
    bool KeyExists(SettingsScope scope, const std::string& key) override;
    std::optional<std::string> ReadString(SettingsScope scope, const std::string& key,
                                          const std::string& name) override;
    bool WriteString(SettingsScope scope, const std::string& key, const std::string& name,
                     const std::string& value) override;
    std::map<std::string, std::string> values;  // "U|key|name" or "M|key|name"
    bool failWrites = false;
    static std::string Slot(SettingsScope scope, const std::string& key, const std::string& name);
};

}  // namespace pellucor::platform
