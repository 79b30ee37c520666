#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/ProgramState.h"
#include "core/TextHelpers.h"

using namespace pellucor;

TEST(DecimalSeparators, CommaToPoint) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1,5", "1.5"},
        {"a, b", "a, b"},          // list separator stays
        {"12,", "12,"},            // last character never changes
        {"1,5E-3, 2,75", "1.5E-3, 2.75"},
        {"", ""},
        {",", ","},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommaToPoint(c.in), c.out) << c.in;
        char buf[64];
        std::strcpy(buf, c.in);
        EXPECT_STREQ(CommaToPointBuf(buf), c.out) << c.in;
    }
}

TEST(DecimalSeparators, PointToComma) {
    struct Case {
        bool point;
        const char* in;
        const char* out;
    } cases[] = {
        {false, "2.50E-003", "2,50E-003"},
        {false, "5.", "5."},  // last character never changes
        {true, "2.50E-003", "2.50E-003"},
        {false, ".", "."},
        {false, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointToComma(c.point, c.in), c.out) << c.in;
        char buf[64];
        std::strcpy(buf, c.in);
        EXPECT_STREQ(PointToCommaBuf(c.point, buf), c.out) << c.in;
    }
}

TEST(PathHelpers, Table) {
    EXPECT_EQ(WithTrailingBackslash("/a/b"), "/a/b/");
    EXPECT_EQ(WithTrailingBackslash("/a/b/"), "/a/b/");
    EXPECT_EQ(WithTrailingBackslash(""), "/");
    EXPECT_EQ(ShortDisplayPath("/prog", "/prog/data/a.txt"), ".../data/a.txt");
    EXPECT_EQ(ShortDisplayPath("/prog/long", "/p"), "...");
    EXPECT_EQ(FolderOfPath("/x/y/z.txt"), "/x/y/");
    EXPECT_EQ(FolderOfPath("z.txt"), "");
    EXPECT_EQ(FileNameOfPath("/x/y/z.txt"), "z.txt");
    EXPECT_EQ(StripExtension("/x/y/z.d.txt"), "/x/y/z.d");
    EXPECT_EQ(StripExtension("/a.b/c"), "/a.b/c");  // a point in a folder is no extension
    EXPECT_EQ(BaseNameOfPath("/a.b/c.d.txt"), "c.d");
    EXPECT_EQ(LastWordOfBaseName("/x/cell 3 run7.txt"), "run7");
    EXPECT_EQ(DataFolderTag("/p/corrosion data/"), "corrosion");
    EXPECT_EQ(DataFolderTag("/p/data/"), "");
}

TEST(PathHelpers, ParFolderForData) {
    const std::string A = "/home/u/Lumarest";
    EXPECT_EQ(ParFolderForData(A, A + "/data/"), A + "/par/");
    EXPECT_EQ(ParFolderForData(A, A + "/Data"), A + "/par/");
    EXPECT_EQ(ParFolderForData(A, A + "/data/plating data/"), A + "/par/plating par/");
    EXPECT_EQ(ParFolderForData(A, "/elsewhere/"), A + "/par/");
}

TEST(PathHelpers, ResultFileName) {
    const std::string A = "/home/u/Lumarest";
    EXPECT_EQ(ResultFileName(true, A, A + "/data/cell 3.txt", "R(CR)"), A + "/par/cell 3, R(CR).par");
    EXPECT_EQ(ResultFileName(false, A, A + "/data/cell 3.txt", "R(CR)"), A + "/par/cell 3, .par");
}

TEST(PathHelpers, FileExistsInFolder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "exists";
    fs::create_directories(dir);
    { std::ofstream(dir / "f.txt") << "12345"; }
    fs::create_directories(dir / "sub");
    std::uintmax_t size = 99;
    EXPECT_TRUE(FileExistsInFolder(dir.string(), "f.txt", size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(FileExistsInFolder(dir.string(), "sub", size));  // folders are not plain files
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(FileExistsInFolder(dir.string(), "none.txt", size));
}

TEST(NumberText, GeneralFormatWithFourDigits) {
    ResetProgramState();
    struct Case {
        double v;
        const char* text;
    } cases[] = {
        {1.0, "1"}, {0.8, "0.8"}, {1234.0, "1234"}, {12346.0, "1.235E4"}, {0.0001234, "0.0001234"},
        {0.000001234, "1.234E-6"}, {0.00005, "5E-5"}, {0.0001, "0.0001"}, {-2.5e-8, "-2.5E-8"}, {1e-32, "1E-32"}, {100.0, "100"},
        {99999.0, "1E5"}, {0.0, "0"}, {1096.0677, "1096"}, {3.14159, "3.142"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.v, 4), c.text) << c.v;
    State().Options.PeriodDecimal = false;
    EXPECT_EQ(FormatGeneral(3.14159, 4), "3,142");
    ResetProgramState();
}
