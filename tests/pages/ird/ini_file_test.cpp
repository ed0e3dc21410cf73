#include "pages/ird/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "pages/ird/ir_key_file.h"

namespace nms {
namespace ini_file_test {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("ini_file_test_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_dir;
};

TEST_F(IniFileTest, LookUpsFollowTheTextRules) {
    CIniFile ini;
    ini.SetFileName(Write(
        "a.ir", "[ KeyMap ]\r\n Vol+ = 00ab12 \r\nUp=\r\n\r\nOk=5\n[keymap]\nLeft=7\n[Public]\nCMD=Up,1"));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int status;
    } cases[] = {
        {"KeyMap", "Vol+", "00ab12", 0},    {"KeyMap", "Up", "error2", -2},  // a key without a value
        {"KeyMap", "Ok", "5", 0},          // after a blank line: still the section
        {"KeyMap", "Left", "error2", -2},  // only in the lower-case section
        {"keymap", "Left", "7", 0},         {"Public", "CMD", "Up,1", 0},  // a last line without a line break
        {"Separate", "STB1", "error2", -2},
    };
    for (const Case& c : cases) {
        int status = 99;
        EXPECT_EQ(ini.GetString(c.section, c.key, &status), c.value) << c.section << "/" << c.key;
        EXPECT_EQ(status, c.status);
    }
    int status = 0;
    ini.SetFileName((m_dir / "missing.ir").string());
    EXPECT_EQ(ini.GetString("KeyMap", "Up", &status), "error1");
    EXPECT_EQ(status, -1);
}

TEST_F(IniFileTest, SetValueReplacesInsertsOrAppends) {
    CIniFile ini;
    ini.SetFileName(Write("b.ir", "[KeyMap]\n  Vol+ =  1\n\nOk=2\n[Public]\nCMD=Up\n"));
    ASSERT_TRUE(ini.Load());
    ini.SetValue("KeyMap", "Vol+", "3");     // replaced in place, without the blanks
    ini.SetValue("KeyMap", "Down", "4");     // a middle section: before the next header
    ini.SetValue("Public", "Extra", "5");    // the last section: the last line
    ini.SetValue("Separate", "STB1", "Ok");  // a new section at the end
    ini.SetValue("KeyMap", "Ok", "6");       // after the blank line
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[KeyMap]", "Vol+=3", "", "Ok=6", "Down=4", "[Public]",
                                                     "CMD=Up", "Extra=5", "[Separate]", "STB1=Ok"}));
    ASSERT_TRUE(ini.Save());
    // Key files end their lines with CR LF.
    EXPECT_EQ(Read(ini.FileName()),
              "[KeyMap]\r\nVol+=3\r\n\r\nOk=6\r\nDown=4\r\n[Public]\r\nCMD=Up\r\nExtra=5\r\n[Separate]\r\n"
              "STB1=Ok\r\n");
    EXPECT_FALSE(std::filesystem::exists(ini.FileName() + ".tmp"));
}

TEST_F(IniFileTest, FailedSaveSaysSoAndKeepsTheOldFile) {
    const std::string path = Write("c.ir", "[KeyMap]\nUp=1\n");
    CIniFile ini;
    ini.SetFileName(path);
    ASSERT_TRUE(ini.Load());
    ini.SetValue("KeyMap", "Up", "2");
    ::chmod(m_dir.c_str(), 0500);
    const bool saved = ini.Save();
    ::chmod(m_dir.c_str(), 0700);
    if (::geteuid() != 0) {  // root writes anyway
        EXPECT_FALSE(saved);
        EXPECT_FALSE(ini.LastError().empty());
        EXPECT_EQ(Read(path), "[KeyMap]\nUp=1\n");
    }
    ini.SetFileName((m_dir / "no/such/folder/x.ir").string());
    EXPECT_FALSE(ini.Save());
    EXPECT_FALSE(ini.LastError().empty());
}

TEST_F(IniFileTest, KeyFilesWriteInTableOrderAndReadBack) {
    IrKeyFile file;
    file.keyMap = {{"Up", "000001"}, {"1", "00000d"}};
    file.powerOnDelay = 10;
    file.keyDelay = 0;
    file.numDelay = 250;
    file.publicCommand = "Up,1";
    file.stbCommands = {{1, "Ok,Exit"}, {64, "5"}};
    const std::string path = (m_dir / "keys.ir").string();
    std::string error;
    ASSERT_TRUE(WriteIrKeyFile(path, file, &error)) << error;
    EXPECT_EQ(Read(path),
              "[KeyMap]\r\nUp=000001\r\n1=00000d\r\nPowerOnDelay=10\r\nKeyDelay=0\r\nNumDelay=250\r\n"
              "[Public]\r\nCMD=Up,1\r\n[Separate]\r\nSTB1=Ok,Exit\r\nSTB64=5\r\n");

    IrKeyFile back;
    ASSERT_TRUE(ReadIrKeyFile(path, &back, &error));
    ASSERT_EQ(back.keyMap.size(), 2u);
    EXPECT_EQ(back.keyMap[1].name, "1");
    EXPECT_EQ(back.codes[0], 1u);
    EXPECT_EQ(back.codes[12], 13u);
    EXPECT_EQ(back.numDelay, 250);
    EXPECT_EQ(back.publicCommand, "Up,1");
    ASSERT_EQ(back.stbCommands.size(), 2u);
    EXPECT_EQ(back.stbCommands[1].stb, 64);

    // A row deleted since the last read leaves nothing behind.
    back.stbCommands.pop_back();
    ASSERT_TRUE(WriteIrKeyFile(path, back, &error));
    EXPECT_EQ(Read(path).find("STB64"), std::string::npos);
}

TEST_F(IniFileTest, MalformedKeyFilesReadWhatTheyHold) {
    const struct {
        const char* text;
        size_t keys;
        bool hasCommand;
    } cases[] = {
        {"", 0, false},
        {"garbage\n\x01\x02\xff", 0, false},
        {"[KeyMap\nUp=1\n", 0, false},  // the header has no name
        {"[KeyMap]\nUp\n=5\nDown=2=3\n", 1, false},
        {"[Public]\nCMD=\n", 0, false},
        {"[KeyMap]\nUp=zz\n[Public]\nCMD=Up,Nope,,\n", 1, true},
    };
    for (const auto& c : cases) {
        IrKeyFile file;
        std::string error;
        ASSERT_TRUE(ReadIrKeyFile(Write("m.ir", c.text), &file, &error));
        EXPECT_EQ(file.keyMap.size(), c.keys) << c.text;
        EXPECT_EQ(file.publicCommand.has_value(), c.hasCommand) << c.text;
    }
    IrKeyFile file;
    std::string error;
    EXPECT_FALSE(ReadIrKeyFile((m_dir / "none.ir").string(), &file, &error));
    EXPECT_FALSE(error.empty());
}

TEST(IrKeyFileTest, PublicCodeTextPairsKeyCodesWithDelayUnits) {
    // No delays in the file: unit 1 for every key.
    EXPECT_EQ(IrPublicCodeText("Up,1", 0, 0), "01010d01");
    EXPECT_EQ(IrPublicCodeText("Ok,9,Nope", 350, 1000),
              "0503150a"
              "0103");
    EXPECT_EQ(IrPublicCodeText("", 100, 100), "");
}

}  // namespace ini_file_test
}  // namespace nms
