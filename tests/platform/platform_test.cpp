#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/data_folder.h"
#include "platform/prompt.h"

namespace nms {
namespace platform_test {

TEST(Prompt, ScriptedPromptRecordsAndAnswersInOrder) {
    ScriptedPrompt prompt;
    prompt.answers = {IDCANCEL};
    ScopedPrompt scope(&prompt);
    EXPECT_FALSE(Confirm("Sure to delete 'A' ?"));
    EXPECT_EQ(ShowMessageBox("second"), IDOK);  // queue empty: OK
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].caption, "Confirm");
    EXPECT_EQ(prompt.shown[0].flags, unsigned(MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(prompt.shown[1].text, "second");
}

TEST(Prompt, WithoutPromptBoxesNeverBlock) {
    EXPECT_EQ(ShowMessageBox("x", "", MB_OKCANCEL), IDOK);
}

TEST(Codepage, RoundTripsChineseAndKeepsAscii) {
    const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87 NEWS-1";  // "中文 NEWS-1"
    std::string gbk;
    ASSERT_TRUE(Utf8ToGbk(utf8, &gbk));
    EXPECT_EQ(gbk, std::string("\xD6\xD0\xCE\xC4 NEWS-1"));
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(GbkToUtf8("plain"), "plain");
}

TEST(Codepage, InvalidGbkBecomesReplacementCharacter) {
    EXPECT_EQ(GbkToUtf8(std::string("A\xFF", 2)), "A\xEF\xBF\xBD");
}

TEST(DataFolder, FollowsXdgDataHome) {
    const auto tmp = std::filesystem::temp_directory_path() / "velmora-data-folder-test";
    setenv("XDG_DATA_HOME", tmp.c_str(), 1);
    EXPECT_EQ(DataFilePath("devinfo.db"), tmp.string() + "/velmora/devinfo.db");
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "velmora"));
    std::filesystem::remove_all(tmp);
}

}  // namespace platform_test
}  // namespace nms
