#include "pages/ird/stb_key_logic.h"

#include <gtest/gtest.h>

#include "devices/device_packet.h"

namespace nms {
namespace stb_key_logic_test {

// A reply as the page receives it (the packet is kept alive by the caller).
struct Reply {
    std::vector<uint8_t> packet;
    Reply(uint8_t command, const std::vector<uint8_t>& payload) {
        packet.resize(payload.size() + kPacketOverhead);
        int length = 0;
        BuildPacket(0x7201, command, 1, 1, packet.data(), &length, payload.data(), uint16_t(payload.size()));
        packet.resize(size_t(length));
    }
    ReplyView View() const { return ReplyView(packet.data(), int(packet.size()) - kPacketCrcSize); }
};

const uint8_t* Slot(const StbKeyLogic& logic, int stb) {
    return logic.Tables().data() + kStbSlotSize * (stb - 1);
}

TEST(StbKeyLogicTest, BuildsSlotsAndDelayUnitsFromTheForm) {
    StbKeyLogic logic;
    StbKeyForm form;
    form.keyDelay = 500;
    form.numDelay = 1200;
    form.keyMap = {{"Ok", "00ab12"}, {"Nope", "123456"}};
    form.stbCommands = {{"3", "Up,1,Exit"}, {"0", "Up"}, {"65", "Up"}, {"x", "Up"}, {"7", "Bad,9"}};
    logic.BuildDeviceRecords(form);
    const std::vector<uint8_t> slot3(Slot(logic, 3), Slot(logic, 3) + 8);
    EXPECT_EQ(slot3, (std::vector<uint8_t>{0x01, 0x05, 0x0d, 0x0c, 0x07, 0x05, 0, 0}));
    // An unknown name is "Up"; a number key takes the number delay.
    EXPECT_EQ(Slot(logic, 7)[0], 1);
    EXPECT_EQ(Slot(logic, 7)[2], 21);
    EXPECT_EQ(Slot(logic, 7)[3], 12);
    EXPECT_EQ(logic.Base()[92], 7);  // the highest STB written
    EXPECT_EQ(logic.KeyInfraredCode(5), 0xab12u);
    EXPECT_EQ(logic.Base()[96], 500 & 0xff);

    // Nothing to build: zero tables and no highest STB.
    logic.BuildDeviceRecords(StbKeyForm());
    EXPECT_EQ(std::count(logic.Tables().begin(), logic.Tables().end(), 0), 2 * kStbTableSize);
    EXPECT_EQ(logic.Base()[92], 0);
}

TEST(StbKeyLogicTest, DelayUnitsAndOverlongSequencesStayInsideTheirAreas) {
    EXPECT_EQ(StbDelayUnit(0), 1);
    EXPECT_EQ(StbDelayUnit(50), 1);
    EXPECT_EQ(StbDelayUnit(1200), 12);
    EXPECT_EQ(StbDelayUnit(99999), 255);

    StbKeyLogic logic;
    StbKeyForm form;
    std::string names;
    for (int i = 0; i < 30; ++i)
        names += i ? ",Ok" : "Ok";
    form.stbCommands = {{"64", names}, {"63", names}};
    for (int i = 0; i < 60; ++i)
        form.publicCode += "0501";
    logic.BuildDeviceRecords(form);
    EXPECT_EQ(Slot(logic, 64)[2 * kStbSlotPairs - 2], 5);  // the 22nd pair, the last of the slot
    EXPECT_EQ(logic.Base()[kStbPublicOffset + 95], 1);     // the 48th pair's delay
    EXPECT_EQ(Slot(logic, 63)[kStbSlotSize], 5);           // slot 64 starts with its own first pair
}

// The editors refuse a key beyond an area: 48 public keys, 22 keys and 127 characters a set-top box; a
// refused key changes nothing.
TEST(StbKeyLogicTest, TheEditorsRefuseKeysBeyondTheirLimits) {
    StbKeyForm form;
    form.keyDelay = 500;
    std::string names;
    for (int i = 0; i < kStbPublicPairs; ++i)
        ASSERT_EQ(StbAddKey(form, names, "Ok", true, false), "");
    const std::string code = form.publicCode;
    EXPECT_EQ(code.size(), 4u * kStbPublicPairs);
    EXPECT_EQ(StbAddKey(form, names, "Ok", true, false), "The public command holds at most 48 keys.");
    EXPECT_EQ(form.publicCode, code);

    const struct {
        const char* repeated;  // the key pressed until the sequence is full
        int keys;              // how many of it are taken
        const char* next;      // the key pressed then
        const char* message;
        size_t length;  // of the names that stay
    } cases[] = {
        {"Up", 22, "1", "A set-top box command holds at most 22 keys.", 65},
        {"Right", 21, "Up", "A set-top box command holds at most 127 characters.", 125},     // 128 with Up
        {"Right", 21, "Right", "A set-top box command holds at most 127 characters.", 125},  // 131
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        names.clear();
        for (int i = 0; i < c.keys; ++i)
            ASSERT_EQ(StbAddKey(form, names, c.repeated, false, true), "");
        EXPECT_EQ(StbAddKey(form, names, c.next, false, true), c.message);
        EXPECT_EQ(names.size(), c.length);
    }
    // 21 x Right and "5" are exactly 127 characters; a 23rd key is then refused by the key count.
    EXPECT_EQ(StbAddKey(form, names, "5", false, true), "");
    EXPECT_EQ(names.size(), 127u);
    EXPECT_EQ(StbAddKey(form, names, "5", false, true), "A set-top box command holds at most 22 keys.");
}

TEST(StbKeyLogicTest, LongCommandTextsAreCutAfterAWholeKey) {
    std::string rights;  // 22 x Right: 131 characters
    for (int i = 0; i < 22; ++i)
        rights += i ? ",Right" : "Right";
    std::string twentyOne = rights.substr(0, 125);
    EXPECT_EQ(StbCutCommand(rights), twentyOne);
    EXPECT_EQ(StbCutCommand(twentyOne + ",5"), twentyOne + ",5");  // 127: kept whole
    EXPECT_EQ(StbCutCommand(twentyOne + ",Up"), twentyOne);        // 128
    EXPECT_EQ(StbCutCommand(std::string(130, 'x')), "");           // no whole key fits
    StbKeyForm form;
    form.stbCommands = {{"9", rights}};
    EXPECT_EQ(StbCommandOf(form, 9), twentyOne);
}

TEST(StbKeyLogicTest, ReadChainShowsWhatTheDeviceHolds) {
    StbKeyLogic logic;
    PageStep step = logic.Read();
    EXPECT_EQ(step.command, kCmdStbGetBase);
    EXPECT_EQ(step.payload, std::vector<uint8_t>(8, 0));
    EXPECT_EQ(step.wait, PageStep::Wait::kBeginShort);

    std::vector<uint8_t> base(kStbBaseSize, 0);
    base[0] = 0x01;                                               // Up = 000001
    base[4 * 12] = 0x0d;                                          // "1"
    base[96] = 0xf4, base[97] = 0x01;                             // key delay 500
    base[100] = 1, base[101] = 9, base[102] = 13, base[103] = 9;  // public: Up,1
    step = logic.HandleReply(Reply(kCmdStbGetBase, base).View());
    EXPECT_TRUE(step.refresh & StbKeyLogic::kRefreshBase);
    EXPECT_EQ(step.command, kCmdStbGetTable);
    EXPECT_EQ(step.payload, (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(step.wait, PageStep::Wait::kRestartShort);
    StbKeyForm form;
    std::string individual = "Left,7";
    logic.ShowBaseConfig(form, individual);
    EXPECT_EQ(individual, "");
    ASSERT_EQ(form.keyMap.size(), 2u);
    EXPECT_EQ(form.keyMap[0].code, "000001");
    EXPECT_EQ(form.keyMap[1].name, "1");
    EXPECT_EQ(form.keyDelay, 500);
    EXPECT_EQ(form.publicCommand, "Up,1");
    EXPECT_EQ(form.publicCode, "01090d09");

    // A table number the page does not know changes nothing but the chain goes on.
    std::vector<uint8_t> table(1 + kStbTableSize, 0);
    table[0] = 9;
    table[1] = 5;
    step = logic.HandleReply(Reply(kCmdStbGetTable, table).View());
    EXPECT_EQ(step.payload[0], 2);
    table[0] = 2;
    table[1] = 0;
    table[1 + kStbSlotSize * 4] = 5;  // STB 37: Ok
    step = logic.HandleReply(Reply(kCmdStbGetTable, table).View());
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(step.HasRequest());
    logic.ShowKeyTables(form);
    ASSERT_EQ(form.stbCommands.size(), 1u);
    EXPECT_EQ(form.stbCommands[0].stb, "37");
    EXPECT_EQ(form.stbCommands[0].command, "Ok");
    // The chain has ended: a further reply continues nothing.
    EXPECT_TRUE(logic.HandleReply(Reply(kCmdStbGetTable, table).View()).IsEmpty());
}

// A short reply changes nothing; a reply after its wait ran out is shown once and reads no table.
TEST(StbKeyLogicTest, ShortRepliesChangeNothingAndALateOneStartsNothing) {
    StbKeyLogic logic;
    logic.Read();
    EXPECT_TRUE(logic.HandleReply(Reply(kCmdStbGetBase, std::vector<uint8_t>(195, 7)).View()).IsEmpty());
    EXPECT_EQ(logic.Base()[0], 0);
    EXPECT_TRUE(logic.HandleReply(Reply(kCmdStbSetBase, {}).View()).IsEmpty());  // not awaited
    logic.WaitEnded();
    const PageStep late = logic.HandleReply(Reply(kCmdStbGetBase, std::vector<uint8_t>(196, 7)).View());
    EXPECT_EQ(logic.Base()[0], 7);
    EXPECT_FALSE(late.HasRequest());
    EXPECT_TRUE(late.refresh & StbKeyLogic::kRefreshBase);
    EXPECT_TRUE(logic.HandleReply(Reply(kCmdStbGetBase, std::vector<uint8_t>(196, 9)).View()).IsEmpty());
    EXPECT_EQ(logic.Base()[0], 7);
    // The refused request of a read leaves nothing late.
    logic.Read();
    logic.Refused();
    EXPECT_TRUE(logic.HandleReply(Reply(kCmdStbGetBase, std::vector<uint8_t>(196, 9)).View()).IsEmpty());
}

TEST(StbKeyLogicTest, CommitChainSendsBaseThenBothTables) {
    StbKeyLogic logic;
    StbKeyForm form;
    form.keyDelay = 300;
    form.numDelay = 100;
    form.publicCode = "01ff0dff";  // delays replaced by the current ones
    form.stbCommands = {{"40", "Menu"}};
    PageStep step = logic.Commit(form);
    ASSERT_EQ(step.command, kCmdStbSetBase);
    ASSERT_EQ(step.payload.size(), size_t(kStbBaseSize));
    EXPECT_EQ(std::vector<uint8_t>(step.payload.begin() + 100, step.payload.begin() + 105),
              (std::vector<uint8_t>{1, 3, 13, 1, 0}));
    step = logic.HandleReply(Reply(kCmdStbSetBase, {}).View());
    ASSERT_EQ(step.command, kCmdStbSetTable);
    ASSERT_EQ(step.payload.size(), size_t(1 + kStbTableSize));
    EXPECT_EQ(step.payload[0], 1);
    step = logic.HandleReply(Reply(kCmdStbSetTable, {}).View());
    ASSERT_EQ(step.payload[0], 2);
    EXPECT_EQ(step.payload[1 + kStbSlotSize * 7], 6);  // STB 40 is slot 8 of table 2
    EXPECT_EQ(logic.HandleReply(Reply(kCmdStbSetTable, {}).View()).wait, PageStep::Wait::kEnd);

    EXPECT_TRUE(logic.Action(64, kStbSetOne).IsEmpty());
    step = logic.Action(63, kStbVolDown);
    EXPECT_EQ(step.payload, (std::vector<uint8_t>{63, 3}));
    EXPECT_EQ(logic.HandleReply(Reply(kCmdStbAction, {}).View()).wait, PageStep::Wait::kEnd);
}

}  // namespace stb_key_logic_test
}  // namespace nms
