#include "platform/Settings.h"

namespace pellucor::platform {

std::string MemorySettingsStore::Slot(SettingsScope scope, const std::string& key,
                                      const std::string& name) {
    return (scope == SettingsScope::User ? "U|" : "M|") + key + "|" + name;
}

bool MemorySettingsStore::KeyExists(SettingsScope scope, const std::string& key) {
    const std::string prefix = Slot(scope, key, "");
    for (const auto& [k, v] : values)
        if (k.rfind(prefix, 0) == 0) return true;
    return false;
}

std::optional<std::string> MemorySettingsStore::ReadString(SettingsScope scope,
                                                           const std::string& key,
                                                           const std::string& name) {
    auto it = values.find(Slot(scope, key, name));
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool MemorySettingsStore::WriteString(SettingsScope scope, const std::string& key,
                                      const std::string& name, const std::string& value) {
    if (failWrites) return false;
    values[Slot(scope, key, name)] = value;
    return true;
}

}  // namespace pellucor::platform
