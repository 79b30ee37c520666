#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QLockFile>
#include <QSettings>

#include "FileSizeLimit.h"
#include "WithoutPrivileges.h"
#include "platform/qt/QtServices.h"

namespace fs = std::filesystem;
using pellucor::platform::SettingsScope;
using pellucor::platform::qt::IniSettingsStore;

namespace {

const std::string kSettingsKey = "Software\\Dovel Software\\Lumarest\\3.20d\\Settings";

// A user and a machine settings file in a fresh folder of their own.
struct SettingsFiles {
    explicit SettingsFiles(const std::string& name) : dir(fs::path(PELLUCOR_TEST_OUTPUT_DIR) / name) {
        fs::remove_all(dir);
    }
    fs::path dir;
    std::string user = (dir / "user.ini").string();
    std::string machine = (dir / "machine.ini").string();
};

}  // namespace

TEST(IniSettingsStore, ValuesPersistAcrossInstancesAndScopesStaySeparate) {
    const SettingsFiles files("ini-settings");
    const std::string& user = files.user;
    const std::string& machine = files.machine;
    const std::string& key = kSettingsKey;
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
    const SettingsFiles files("ini-settings-awkward");
    const std::string& user = files.user;
    const std::string& machine = files.machine;
    const std::string& key = kSettingsKey;
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
    const SettingsFiles files("ini-settings-hand");
    fs::create_directories(files.dir);
    const std::string& user = files.user;
    const std::string& machine = files.machine;
    {
        std::ofstream out(user);
        out << "[Software]\nDovel%20Software\\Lumarest\\3.20d\\Settings\\DataPath=/home/a/cell 1, run 2/\n"
               "garbage line without equals\n";
    }
    IniSettingsStore s(user, machine);
    EXPECT_EQ(s.ReadString(SettingsScope::User, kSettingsKey,
                           "DataPath").value_or("<none>"),
              "/home/a/cell 1, run 2/");
    EXPECT_TRUE(s.WriteString(SettingsScope::User, kSettingsKey,
                              "ParPath", "/p/"));
    IniSettingsStore again(user, machine);
    EXPECT_EQ(again.ReadString(SettingsScope::User, kSettingsKey,
                               "ParPath").value_or("<none>"),
              "/p/");
}

// Lumarest starts Tamberic and waits for it; both keep their settings in the
// same file. What the other program stored meanwhile (an image viewer chosen
// there) is what this one reads next, and this one's own values written at
// exit leave it in place.
TEST(IniSettingsStore, ValuesStoredByTheOtherProgramMeanwhileAreReadAndKept) {
    const SettingsFiles files("ini-settings-shared");
    IniSettingsStore lumarest(files.user, files.machine);
    ASSERT_TRUE(lumarest.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/a/data/"));
    EXPECT_FALSE(lumarest.ReadString(SettingsScope::User, kSettingsKey, "ImageViewer").has_value());
    {
        // The other program's process rewrites the file with a value added.
        std::ofstream out(files.user, std::ios::trunc);
        out << "[Software]\n"
               "Dovel%20Software\\Lumarest\\3.20d\\Settings\\DataPath=/home/a/data/\n"
               "Dovel%20Software\\Lumarest\\3.20d\\Settings\\ImageViewer=/usr/bin/viewer\n";
    }
    EXPECT_EQ(lumarest.ReadString(SettingsScope::User, kSettingsKey, "ImageViewer").value_or("<none>"),
              "/usr/bin/viewer");
    EXPECT_TRUE(lumarest.KeyExists(SettingsScope::User, kSettingsKey));
    ASSERT_TRUE(lumarest.WriteString(SettingsScope::User, kSettingsKey, "ParPath", "/home/a/par/"));
    IniSettingsStore next(files.user, files.machine);
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "ImageViewer").value_or("<none>"),
              "/usr/bin/viewer");
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "ParPath").value_or("<none>"), "/home/a/par/");
}

// A disk that fills up while the settings are written: the write says it
// failed, and the values stored before are all still there for the next
// session (the file is not left cut short), with nothing left beside it. The
// stores differ in size, so the write breaks off at different places
// (QSettings' buffered file loses the failure of its last flush). Once there
// is room again, the value is stored.
TEST(IniSettingsStore, AFullDiskIsReportedAndKeepsTheStoredValues) {
    for (const int count : {60, 200, 300, 600}) {
        SCOPED_TRACE(count);
        SettingsFiles files("settings_full_disk");
        auto folder = [](int k) { return "/home/someone/measurements/cell " + std::to_string(k) + "/"; };
        {
            // Written in one go, as the other program of the pair may have left it.
            QSettings other(QString::fromStdString(files.user), QSettings::IniFormat);
            for (int k = 0; k < count; ++k)
                other.setValue(QString::fromStdString("Software/Dovel Software/Lumarest/3.20d/Settings/Folder" +
                                                      std::to_string(k)),
                               QString::fromStdString(folder(k)));
        }
        ASSERT_GT(fs::file_size(files.user), 4096u);
        {
            IniSettingsStore store(files.user, files.machine);
            bool ok = true;
            {
                pellucor::testing_support::FileSizeLimit limit(4096);
                ok = store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/new/");
            }
            EXPECT_FALSE(ok);
            EXPECT_EQ(store.ReadString(SettingsScope::User, kSettingsKey, "DataPath"), std::nullopt);
            EXPECT_TRUE(store.WriteString(SettingsScope::User, kSettingsKey, "ParPath", "/home/someone/par/"));
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(files.dir), fs::directory_iterator()), 1);
        IniSettingsStore next(files.user, files.machine);
        int intact = 0;
        for (int k = 0; k < count; ++k)
            intact += next.ReadString(SettingsScope::User, kSettingsKey, "Folder" + std::to_string(k)) == folder(k);
        EXPECT_EQ(intact, count);
        EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "ParPath"), "/home/someone/par/");
    }
}

// A settings file kept elsewhere and linked into place stays a link, and the
// file it leads to gets the value.
TEST(IniSettingsStore, ALinkedSettingsFileStaysALink) {
    SettingsFiles files("settings_linked");
    fs::create_directories(files.dir / "kept");
    const fs::path kept = files.dir / "kept" / "user.ini";
    std::ofstream(kept) << "[General]\nOther=1\n";
    fs::create_symlink(kept, files.user);
    IniSettingsStore store(files.user, files.machine);
    ASSERT_TRUE(store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/data/"));
    EXPECT_TRUE(fs::is_symlink(files.user));
    IniSettingsStore next((files.dir / "kept" / "user.ini").string(), files.machine);
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "DataPath"), "/home/someone/data/");
}

// The same through a link to a link: each link stays, and the file at the end
// of them gets the value.
TEST(IniSettingsStore, ASettingsFileReachedThroughTwoLinksKeepsBoth) {
    SettingsFiles files("settings_linked_twice");
    fs::create_directories(files.dir / "kept");
    const fs::path kept = files.dir / "kept" / "user.ini";
    const fs::path middle = files.dir / "kept" / "current.ini";
    std::ofstream(kept) << "[Kept]\nOther=1\n";
    fs::create_symlink("user.ini", middle);
    fs::create_symlink(middle, files.user);
    IniSettingsStore store(files.user, files.machine);
    ASSERT_TRUE(store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/data/"));
    EXPECT_TRUE(fs::is_symlink(files.user));
    EXPECT_TRUE(fs::is_symlink(middle));
    IniSettingsStore next(kept.string(), files.machine);
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "DataPath"), "/home/someone/data/");
    EXPECT_EQ(next.ReadString(SettingsScope::User, "Kept", "Other"), "1");
}

// A settings file keeps its access rights when a value is written: one kept
// private to its owner is not left readable by everyone.
TEST(IniSettingsStore, AWrittenSettingsFileKeepsItsAccessRights) {
    for (const fs::perms mode : {fs::perms::owner_read | fs::perms::owner_write,
                                 fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read}) {
        SCOPED_TRACE(static_cast<int>(mode));
        SettingsFiles files("settings_rights");
        fs::create_directories(files.dir);
        std::ofstream(files.user) << "[General]\nOther=1\n";
        fs::permissions(files.user, mode);
        IniSettingsStore store(files.user, files.machine);
        ASSERT_TRUE(store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/data/"));
        EXPECT_EQ(fs::status(files.user).permissions(), mode);
        EXPECT_EQ(store.ReadString(SettingsScope::User, kSettingsKey, "DataPath"), "/home/someone/data/");
    }
}

// A settings file its user may not write (made read-only to keep what it
// holds) is not replaced: the write is refused and the values stay. Run as
// an unprivileged user, since the administrator may write any file.
TEST(IniSettingsStore, AReadOnlySettingsFileIsNotReplaced) {
    SettingsFiles files("settings_read_only");
    fs::create_directories(files.dir);
    const std::string text = "[General]\nOther=1\n";
    std::ofstream(files.user) << text;
    fs::permissions(files.user, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto attempt = [&files] {
        IniSettingsStore store(files.user, files.machine);
        return store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/data/");
    };
    EXPECT_EQ(pellucor::testing_support::AttemptWithoutPrivileges(files.dir, files.user, attempt), "refused");
    std::ifstream in(files.user);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(files.dir), fs::directory_iterator()), 1);
}

// Two programs writing the one settings file at the same time: a write waits
// while the other program holds the file's lock (as QSettings does while it
// puts its own values in), so the value that program added is still there
// afterwards next to the new one.
TEST(IniSettingsStore, AWriteWaitsForAnotherWriterAndKeepsItsValue) {
    SettingsFiles files("settings_two_writers");
    fs::create_directories(files.dir);
    std::ofstream(files.user) << "[General]\nOther=1\n";
    auto otherWriter = std::make_unique<QLockFile>(QString::fromStdString(files.user) + ".lock");
    ASSERT_TRUE(otherWriter->tryLock(0));
    bool written = false;
    std::thread writer([&] {
        IniSettingsStore store(files.user, files.machine);
        written = store.WriteString(SettingsScope::User, kSettingsKey, "DataPath", "/home/someone/data/");
    });
    // Long enough for a write that does not wait to be done by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    {
        // The other program puts its file in place, a value added.
        std::ofstream out(files.user, std::ios::trunc);
        out << "[General]\nOther=1\n"
               "[Software]\nDovel%20Software\\Lumarest\\3.20d\\Settings\\ImageViewer=/usr/bin/viewer\n";
    }
    otherWriter.reset();
    writer.join();
    EXPECT_TRUE(written);
    IniSettingsStore next(files.user, files.machine);
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "ImageViewer"), "/usr/bin/viewer");
    EXPECT_EQ(next.ReadString(SettingsScope::User, kSettingsKey, "DataPath"), "/home/someone/data/");
}
