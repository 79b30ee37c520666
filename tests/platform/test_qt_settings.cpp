#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

TEST(IniSettingsStore, AwkwardFolderTextsReadBackUnchanged) {
    const fs::path dir = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "ini-settings-awkward";
    fs::remove_all(dir);
    const std::string user = (dir / "user.ini").string();
    const std::string machine = (dir / "machine.ini").string();
    const std::string key = "Software\\Dovel Software\\Lumarest\\3.20d\\Settings";
    const std::vector<std::string> values = {
        "/home/a b/data/",
        "/home/J\xc3\xbcrgen/\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf/",
        "/x=y/data/",
        "/x;y/data/",
        "/x#y/data/",
        "/cell 1, run 2/data/",
        "/a,b,c/",
        "@x/data/",
        "C:\\Program Files\\viewer.exe",
        " /lead and trail/ ",
        "/q\"uote\"/",
        "/1,5 V/",
        std::string(3000, 'x') + "/",
    };
    {
        IniSettingsStore s(user, machine);
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_TRUE(s.WriteString(SettingsScope::User, key, "V" + std::to_string(i), values[i]));
    }
    IniSettingsStore s(user, machine);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(s.ReadString(SettingsScope::User, key, "V" + std::to_string(i)).value_or("<none>"),
                  values[i]);
}

TEST(IniSettingsStore, HandEditedFolderWithACommaIsReadWhole) {
    const fs::path dir = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "ini-settings-hand";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string user = (dir / "user.ini").string();
    const std::string machine = (dir / "machine.ini").string();
    {
        std::ofstream out(user);
        out << "[Software]\nDovel%20Software\\Lumarest\\3.20d\\Settings\\DataPath=/home/a/cell 1, run 2/\n"
               "garbage line without equals\n";
    }
    IniSettingsStore s(user, machine);
    EXPECT_EQ(s.ReadString(SettingsScope::User, "Software\\Dovel Software\\Lumarest\\3.20d\\Settings",
                           "DataPath").value_or("<none>"),
              "/home/a/cell 1, run 2/");
    EXPECT_TRUE(s.WriteString(SettingsScope::User, "Software\\Dovel Software\\Lumarest\\3.20d\\Settings",
                              "ParPath", "/p/"));
    IniSettingsStore again(user, machine);
    EXPECT_EQ(again.ReadString(SettingsScope::User, "Software\\Dovel Software\\Lumarest\\3.20d\\Settings",
                               "ParPath").value_or("<none>"),
              "/p/");
}
