#include <gtest/gtest.h>

#include <filesystem>

#include "platform/qt/QtServices.h"

namespace fs = std::filesystem;
using pellucor::platform::SettingsScope;
using pellucor::platform::qt::IniSettingsStore;

TEST(IniSettingsStore, ValuesPersistAcrossInstancesAndScopesStaySeparate) {
    const fs::path dir = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "ini-settings";
    fs::remove_all(dir);
    const std::string user = (dir / "user.ini").string();
    const std::string machine = (dir / "machine.ini").string();
    const std::string key = "Software\\Dovel Software\\Lumarest\\3.20d\\Settings";
    {
        IniSettingsStore s(user, machine);
        EXPECT_FALSE(s.KeyExists(SettingsScope::User, key));
        EXPECT_FALSE(s.ReadString(SettingsScope::User, key, "DataPath").has_value());
        EXPECT_TRUE(s.WriteString(SettingsScope::User, key, "DataPath", "/home/a/data/"));
        EXPECT_TRUE(s.WriteString(SettingsScope::Machine, "Software\\Dovel Software\\Lumarest\\3.20d",
                                  "InstallDir", "/opt/x"));
    }
    IniSettingsStore s(user, machine);
    EXPECT_TRUE(s.KeyExists(SettingsScope::User, key));
    EXPECT_EQ(s.ReadString(SettingsScope::User, key, "DataPath").value_or(""), "/home/a/data/");
    EXPECT_FALSE(s.ReadString(SettingsScope::User, key, "InstallDir").has_value());
    EXPECT_EQ(s.ReadString(SettingsScope::Machine, "Software\\Dovel Software\\Lumarest\\3.20d",
                           "InstallDir").value_or(""),
              "/opt/x");
}
