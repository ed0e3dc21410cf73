#include "pages/ird/stb_key_ctrl.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "page_fixture.h"

namespace nms {
namespace stb_key_ctrl_test {

using test::PageFixture;

void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

struct StbPage {
    PageFixture fx{0x7201};
    CStbKeyCtrl page;
    StbPage() {
        fx.Bind(&page);
        fx.TakeSentPacket();  // the read that showing the page starts
        fx.FireTimer(&page, kWaitTimerId);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& r : const_cast<PageFixture&>(fx).Prompt().shown)
            texts.push_back(r.text);
        return texts;
    }
};

TEST(StbKeyCtrlTest, KeyPressesBuildThePublicAndIndividualSequences) {
    StbPage p;
    p.page.m_keyDelay->setText("250");
    p.page.m_numDelay->setText("1000");
    p.page.m_publicCheck->setChecked(true);
    Click(p.page.KeyButton(5));   // Ok
    Click(p.page.KeyButton(12));  // 0
    EXPECT_EQ(p.page.Form().publicCode, "05020c0a");
    EXPECT_EQ(p.page.Form().publicCommand, "Ok,0");

    p.page.m_publicCheck->setChecked(false);
    p.page.m_individualCheck->setChecked(true);
    p.page.m_keyDelay->setText("500");
    Click(p.page.KeyButton(1));   // Up
    Click(p.page.KeyButton(17));  // 5
    EXPECT_EQ(p.page.IndividualNames(), "Up,5");

    p.page.m_publicCheck->setChecked(true);
    Click(p.page.KeyButton(2));
    p.page.m_publicCheck->setChecked(false);
    p.page.m_keyDelay->setText("0");
    Click(p.page.KeyButton(15));
    EXPECT_EQ(p.Messages(), (std::vector<std::string>{"Please only choice Public Cmd or Private Cmd to set",
                                                      "Please set key delay first!"}));
    EXPECT_EQ(p.page.IndividualNames(), "Up,5");
}

// Keys beyond a sequence's area are refused with a message: 48 public keys, 22 keys or 127 characters a
// set-top box. A device's 22 x Right (131 characters) is taken from the list whole key by whole key,
// never as a cut name that would be committed as another key.
TEST(StbKeyCtrlTest, SequencesStayWithinTheirLimits) {
    StbPage p;
    p.page.m_keyDelay->setText("500");
    p.page.m_publicCheck->setChecked(true);
    for (int i = 0; i < 49; ++i)
        Click(p.page.KeyButton(5));  // Ok
    EXPECT_EQ(p.Messages(), (std::vector<std::string>{"The public command holds at most 48 keys."}));
    EXPECT_EQ(p.page.Form().publicCode.size(), 4u * 48);

    p.page.m_publicCheck->setChecked(false);
    p.page.m_individualCheck->setChecked(true);
    for (int i = 0; i < 22; ++i)
        Click(p.page.KeyButton(4));  // Right
    EXPECT_EQ(p.Messages().back(), "A set-top box command holds at most 127 characters.");
    std::string twentyOne;
    for (int i = 0; i < 21; ++i)
        twentyOne += i ? ",Right" : "Right";
    EXPECT_EQ(p.page.IndividualNames(), twentyOne);
    Click(p.page.KeyButton(17));  // 5: 127 characters
    Click(p.page.KeyButton(17));
    EXPECT_EQ(p.Messages().back(), "A set-top box command holds at most 22 keys.");
    EXPECT_EQ(p.page.IndividualNames(), twentyOne + ",5");
    EXPECT_EQ(p.page.IndividualNames().size(), 127u);

    // The device holds 22 x Right for STB 1.
    Click(p.page.m_read);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdStbGetBase, std::vector<uint8_t>(kStbBaseSize, 0));
    p.fx.TakeSentPacket();
    std::vector<uint8_t> table(1 + kStbTableSize, 0);
    table[0] = 1;
    for (int k = 0; k < kStbSlotPairs; ++k)
        table[size_t(1 + 2 * k)] = 4, table[size_t(2 + 2 * k)] = 5;
    p.fx.FeedReply(kCmdStbGetTable, table);
    p.fx.TakeSentPacket();
    table[0] = 2;
    std::fill(table.begin() + 1, table.end(), 0);
    p.fx.FeedReply(kCmdStbGetTable, table);
    ASSERT_EQ(p.page.m_stbList->topLevelItemCount(), 1);
    QTreeWidgetItem* row = p.page.m_stbList->topLevelItem(0);
    p.page.m_stbList->setCurrentItem(row);
    emit p.page.m_stbList->itemClicked(row, 0);
    EXPECT_EQ(p.page.IndividualNames(), twentyOne);
    p.page.m_stbCombo->setCurrentIndex(0);
    p.page.OnStbSelChange();
    EXPECT_EQ(p.page.IndividualNames(), twentyOne);
}

TEST(StbKeyCtrlTest, KeyMapAndStbRowsAreEdited) {
    StbPage p;
    Click(p.page.KeyButton(8));  // Vol+ into the key map editor
    p.page.m_keyValue->setText("12345");
    Click(p.page.m_setKey);
    EXPECT_EQ(p.Messages(), (std::vector<std::string>{"Key length must be 6 characters!"}));
    p.page.m_keyValue->setText("00ab12");
    Click(p.page.m_setKey);
    ASSERT_EQ(p.page.Form().keyMap.size(), 1u);
    EXPECT_EQ(p.page.Form().keyMap[0].name, "Vol+");
    EXPECT_EQ(p.page.m_keyList->topLevelItemCount(), 1);

    p.page.m_stbCombo->setCurrentIndex(6);  // STB 7 has no row: no names
    p.page.OnStbSelChange();
    EXPECT_EQ(p.page.IndividualNames(), "");
    Click(p.page.m_setIndividual);
    ASSERT_EQ(p.page.Form().stbCommands.size(), 1u);
    EXPECT_EQ(p.page.Form().stbCommands[0].stb, "7");
    EXPECT_EQ(p.page.Form().stbCommands[0].command, "");
}

// A base record read from the device starts the editors over: the key map, both public texts and the
// individual names being edited give way to what the device holds.
TEST(StbKeyCtrlTest, AReadBaseRecordEmptiesTheSequencesBeingEdited) {
    StbPage p;
    p.page.m_keyDelay->setText("500");
    p.page.m_publicCheck->setChecked(true);
    Click(p.page.KeyButton(6));  // Menu
    p.page.m_publicCheck->setChecked(false);
    p.page.m_individualCheck->setChecked(true);
    Click(p.page.KeyButton(1));   // Up
    Click(p.page.KeyButton(14));  // 2
    ASSERT_EQ(p.page.IndividualNames(), "Up,2");
    ASSERT_EQ(p.page.Form().publicCommand, "Menu");

    Click(p.page.m_read);
    ASSERT_EQ(p.fx.TakeSentPacket()->command, kCmdStbGetBase);
    std::vector<uint8_t> base(kStbBaseSize, 0);
    base[0] = 0x18;  // Up
    base[96] = 0xf4, base[97] = 1;
    p.fx.FeedReply(kCmdStbGetBase, base);
    EXPECT_EQ(p.page.IndividualNames(), "");
    EXPECT_EQ(p.page.Form().publicCommand, "");
    EXPECT_EQ(p.page.Form().publicCode, "");
    ASSERT_EQ(p.page.m_keyList->topLevelItemCount(), 1);
    EXPECT_EQ(p.page.m_keyList->topLevelItem(0)->text(1), "000018");
    EXPECT_EQ(p.page.m_keyDelay->text(), "500");
}

TEST(StbKeyCtrlTest, ReadAndCommitChainsGoThroughTheDevice) {
    PageFixture fx(0x7201);
    CStbKeyCtrl page;
    fx.Bind(&page);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdStbGetBase);
    EXPECT_TRUE(page.IsBusy());
    std::vector<uint8_t> base(kStbBaseSize, 0);
    base[4] = 0x22;  // Down
    base[96] = 100;
    fx.FeedReply(kCmdStbGetBase, base);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdStbGetTable);
    EXPECT_EQ(sent->payload[0], 1);
    ASSERT_EQ(page.m_keyList->topLevelItemCount(), 1);
    EXPECT_EQ(page.m_keyList->topLevelItem(0)->text(1), "000022");
    EXPECT_EQ(page.m_keyDelay->text(), "100");
    std::vector<uint8_t> table(1 + kStbTableSize, 0);
    table[0] = 1;
    table[1 + kStbSlotSize] = 4;  // STB 2: Right
    fx.FeedReply(kCmdStbGetTable, table);
    table[0] = 2;
    table[1 + kStbSlotSize] = 0;
    fx.FeedReply(kCmdStbGetTable, table);
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.m_stbList->topLevelItemCount(), 1);
    EXPECT_EQ(page.m_stbList->topLevelItem(0)->text(1), "Right");

    // Commit sends back what was read.
    fx.TakeSentPacket();
    Click(page.m_commit);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdStbSetBase);
    EXPECT_EQ(sent->payload[4], 0x22);
    EXPECT_EQ(sent->payload[92], 2);
    fx.FeedReply(kCmdStbSetBase, {});
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[1 + kStbSlotSize], 4);

    // The wait runs out: a late reply continues nothing.
    EXPECT_TRUE(page.IsBusy());
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    fx.FeedReply(kCmdStbSetTable, {});
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(fx.Events().Texts().back(), "Operation timeout");
}

TEST(StbKeyCtrlTest, KeyFilesSaveAndLoadBack) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("stb_key_ctrl_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    StbPage p;
    p.page.m_keyDelay->setText("300");
    p.page.m_stbCombo->setCurrentIndex(4);
    p.page.m_individualCheck->setChecked(true);
    Click(p.page.KeyButton(6));
    Click(p.page.m_setIndividual);
    p.fx.Prompt().fileAnswers = {(dir / "keys").string()};
    Click(p.page.m_saveLocal);
    ASSERT_TRUE(std::filesystem::exists(dir / "keys.ir"));

    StbPage q;
    q.fx.Prompt().fileAnswers = {(dir / "keys.ir").string(), (dir / "missing.ir").string()};
    Click(q.page.m_readLocal);
    ASSERT_EQ(q.page.Form().stbCommands.size(), 1u);
    EXPECT_EQ(q.page.Form().stbCommands[0].stb, "5");
    EXPECT_EQ(q.page.Form().stbCommands[0].command, "Menu");
    EXPECT_EQ(q.page.m_keyDelay->text(), "300");
    Click(q.page.m_readLocal);  // a file that is not there: said, nothing changes
    ASSERT_EQ(q.Messages().size(), 1u);
    EXPECT_EQ(q.page.Form().stbCommands.size(), 1u);
    std::filesystem::remove_all(dir);
}

// A file that holds no key file entry at all (binary data, megabytes of noise, an empty file) is said
// to be no key file and leaves the page as it was; a key file read in part gives what it holds.
TEST(StbKeyCtrlTest, AFileWithoutAKeyMapLeavesThePageAsItWas) {
    const auto dir = std::filesystem::temp_directory_path() / ("stb_key_noise_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream((dir / name).string(), std::ios::binary) << text;
        return (dir / name).string();
    };
    std::string noise(4 << 20, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    const std::string binary(
        "\x7f"
        "ELF\x02\x01\x01\0\0\0[KeyMap\0Up=1\xff\xfe",
        24);

    StbPage p;
    p.page.m_keyDelay->setText("300");
    p.page.m_stbCombo->setCurrentIndex(4);
    p.page.m_individualCheck->setChecked(true);
    Click(p.page.KeyButton(6));
    Click(p.page.m_setIndividual);
    p.page.m_keyValue->setText("00a1b2");  // the key map row of "Menu"
    Click(p.page.m_setKey);
    ASSERT_EQ(p.page.Form().keyMap.size(), 1u);
    ASSERT_EQ(p.page.Form().stbCommands.size(), 1u);
    for (const std::string& path :
         {write("noise.ir", noise), write("binary.ir", binary), write("empty.ir", "")}) {
        const size_t shown = p.Messages().size();
        p.fx.Prompt().fileAnswers = {path};
        Click(p.page.m_readLocal);
        ASSERT_EQ(p.Messages().size(), shown + 1) << path;
        EXPECT_EQ(p.Messages().back(), "Cannot read " + path + ": it holds no key map.");
        EXPECT_EQ(p.page.Form().keyMap.size(), 1u) << path;
        EXPECT_EQ(p.page.Form().stbCommands.size(), 1u) << path;
        EXPECT_EQ(p.page.m_keyDelay->text(), "300") << path;
    }

    // Part of a key file: what it covers is taken, the rest emptied as a read does.
    p.fx.Prompt().fileAnswers = {write("part.ir", "[Separate]\r\nSTB9=Ok\r\n")};
    const size_t shown = p.Messages().size();
    Click(p.page.m_readLocal);
    EXPECT_EQ(p.Messages().size(), shown);
    EXPECT_TRUE(p.page.Form().keyMap.empty());
    ASSERT_EQ(p.page.Form().stbCommands.size(), 1u);
    EXPECT_EQ(p.page.Form().stbCommands[0].stb, "9");
    std::filesystem::remove_all(dir);
}

}  // namespace stb_key_ctrl_test
}  // namespace nms
