#include "pagebase/field_table.h"

#include <gtest/gtest.h>

#include <random>

namespace nms {
namespace field_table_test {

FieldDef Edit(std::string key, int offset, Wire wire, Codec codec) {
    FieldDef f;
    f.key = std::move(key);
    f.offset = offset;
    f.wire = wire;
    f.codec = codec;
    return f;
}

// Typed texts against the value they give or the message they are refused with.
TEST(FieldTableTest, CodecsReadTheOperatorsTextOrRefuseIt) {
    FieldDef freq = Edit("freq", 0, Wire::kU32LE, Codec::kKhzAsMhz);
    freq.message = "Frequency error,over maximum!";
    FieldDef symbol = Edit("symbol", 0, Wire::kU16LE, Codec::kSymbolRate);
    symbol.message = "Symbol rate should be '0-9' or '.'";
    FieldDef kbps = Edit("kbps", 0, Wire::kU32LE, Codec::kKbpsAsMbps);
    kbps.message = "Output bitrate error!";
    FieldDef att = Edit("att", 0, Wire::kU8, Codec::kHalfStepDb);
    att.message = "ATT value error,should be 0-9 or .";
    att.stepMessage = "ATT value must be changed with step 0.5.";
    FieldDef pid = Edit("pid", 0, Wire::kU16LE, Codec::kHex);
    pid.max = 0x1fff;
    pid.min = 0;
    FieldDef port = Edit("port", 0, Wire::kU16LE, Codec::kDecimal);
    FieldDef hue = Edit("hue", 0, Wire::kU8, Codec::kDecimal);
    hue.isSigned = true;
    FieldDef ip = Edit("ip", 0, Wire::kBytes, Codec::kDottedIp);
    ip.length = 4;
    ip.message = "IP error";
    FieldDef mac = Edit("mac", 0, Wire::kBytes, Codec::kMac);
    mac.length = 6;
    mac.message = "MAC error";

    struct Case {
        const FieldDef* field;
        std::string text;
        int64_t value;        // when accepted
        std::string message;  // empty: accepted
    };
    const Case cases[] = {
        {&freq, "474", 474000, ""},
        {&freq, "474.0", 474000, ""},
        {&freq, "474.0005", 474000, ""},
        {&freq, "123456", 0, "Frequency error,over maximum!"},
        {&freq, "47a", 0, "Frequency error,over maximum!"},
        {&symbol, "6.875", 6875, ""},
        {&symbol, "6.9", 6900, ""},
        {&symbol, "6.87512", 6875, ""},
        {&symbol, "7", 7000, ""},
        {&symbol, ".5", 0, ""},
        {&symbol, "6875", 0, "Symbol rate should be '0-9' or '.'"},  // 6,875,000 does not fit 16 bits
        {&symbol, "6,875", 0, "Symbol rate should be '0-9' or '.'"},
        {&symbol, "1.2.3", 0, "Symbol rate should be '0-9' or '.'"},  // not 12
        {&freq, "474.0.5", 0, "Frequency error,over maximum!"},
        {&kbps, "4294967", 0, "Output bitrate error!"},  // beyond 32 bits: refused, never saturated
        {&kbps, "38.5", 38500, ""},
        {&att, "3.5", 35, ""},
        {&att, "3", 30, ""},
        {&att, "3.3", 0, "ATT value must be changed with step 0.5."},
        {&att, "3.", 0, "ATT value must be changed with step 0.5."},
        {&att, "3,5", 0, "ATT value error,should be 0-9 or ."},
        {&att, "26", 0, "ATT value error,should be 0-9 or ."},  // 260 tenths do not fit the byte
        {&pid, "1fff", 0x1fff, ""},
        {&pid, "12345", 0, "Please enter an integer between 0 and 1FFF."},  // the whole value is checked
        {&pid, "2000", 0, "Please enter an integer between 0 and 1FFF."},
        {&pid, "", 0, "Please enter an integer between 0 and 1FFF."},
        {&port, "65535", 65535, ""},
        {&port, "65536", 0, "Please enter an integer between 0 and 65535."},
        {&port, "-1", 0, "Please enter an integer between 0 and 65535."},
        {&port, "99999999999999999999999", 0, "Please enter an integer between 0 and 65535."},
        {&hue, "-128", -128, ""},
        {&hue, "127", 127, ""},
        {&hue, "128", 0, "Please enter an integer between -128 and 127."},
        {&ip, "192.168.1.300", 0, "IP error"},
        {&ip, "192.168.1", 0, "IP error"},
        {&mac, "00:1a:2B:3c:4d", 0, "MAC error"},
        {&mac, "00:1g:2b:3c:4d:5e", 0, "MAC error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field->key + " '" + c.text + "'");
        FieldInput in;
        in.text = c.text;
        const FieldResult r = ParseField(*c.field, in);
        EXPECT_EQ(r.ok, c.message.empty());
        EXPECT_EQ(r.message, c.message);
        if (r.ok) {
            EXPECT_EQ(r.value, c.value);
        }
    }
    FieldInput in;
    in.text = "192.168.001.5";
    EXPECT_EQ(ParseField(ip, in).bytes, (std::vector<uint8_t>{192, 168, 1, 5}));
    in.text = "00:1a:2B:3c:4d:5e";
    EXPECT_EQ(ParseField(mac, in).bytes, (std::vector<uint8_t>{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
}

TEST(FieldTableTest, ValuesShowAsThePagesShowThem) {
    ParamBlock block(12);
    ByteWriter w(block.Bytes());
    w.U32LE(0, 474000);
    w.U8(4, 35);
    w.U16LE(6, 6875);
    w.Bytes(8, std::vector<uint8_t>{10, 0, 0, 200}.data(), 4);
    FieldDef ip = Edit("ip", 8, Wire::kBytes, Codec::kDottedIp);
    ip.length = 4;
    EXPECT_EQ(ShowField(Edit("f", 0, Wire::kU32LE, Codec::kKhzAsMhz), block).text, "474.000");
    EXPECT_EQ(ShowField(Edit("a", 4, Wire::kU8, Codec::kHalfStepDb), block).text, "3.5");
    EXPECT_EQ(ShowField(Edit("s", 6, Wire::kU16LE, Codec::kSymbolRate), block).text, "6.875");
    EXPECT_EQ(ShowField(Edit("h", 6, Wire::kU16LE, Codec::kHex), block).text, "1adb");
    EXPECT_EQ(ShowField(Edit("H", 6, Wire::kU16BE, Codec::kHexUpper), block).text, "DB1A");
    EXPECT_EQ(ShowField(ip, block).text, "10.0.0.200");
    // A field past the end of the block shows nothing and takes nothing.
    FieldDef outside = Edit("o", 11, Wire::kU16LE, Codec::kDecimal);
    EXPECT_EQ(ShowField(outside, block).text, "0");
    EXPECT_FALSE(block.SetValue(outside, 1));
}

// A block with a masked check, a list, a hidden edit and two checked edits.
FieldTable SampleTable() {
    FieldTable t;
    FieldDef flag = Edit("flag", 0, Wire::kU8, Codec::kFlag);
    flag.control = Control::kCheck;
    flag.mask = 0x04;
    t.push_back(flag);
    FieldDef list = Edit("list", 1, Wire::kU8, Codec::kChoice);
    list.control = Control::kCombo;
    list.choices = {{"A", 0}, {"B", 1}, {"C", 5}};
    t.push_back(list);
    t.push_back(Edit("hidden", 2, Wire::kU16LE, Codec::kDecimal));
    FieldDef first = Edit("first", 4, Wire::kU16LE, Codec::kDecimal);
    first.max = 100;
    t.push_back(first);
    FieldDef second = Edit("second", 6, Wire::kU16LE, Codec::kHex);
    second.message = "second is wrong";
    t.push_back(second);
    return t;
}

std::vector<std::optional<FieldInput>> ShownInputs(const FieldTable& t, const ParamBlock& block) {
    std::vector<std::optional<FieldInput>> inputs;
    for (const FieldDef& f : t)
        inputs.push_back(ShowField(f, block));
    return inputs;
}

TEST(FieldTableTest, OnlyEditedFieldsChangeTheirBytes) {
    const FieldTable t = SampleTable();
    ParamBlock block(8);
    block.Bytes() = {0xfb, 9, 0x34, 0x12, 0xff, 0xff, 0x01, 0x00};
    const std::vector<uint8_t> read = block.Bytes();

    auto inputs = ShownInputs(t, block);
    EXPECT_EQ(inputs[1]->index, -1);  // 9 is no choice: no selection
    EXPECT_TRUE(CollectFields(t, inputs, block).ok);
    EXPECT_EQ(block.Bytes(), read);  // untouched, 0xffff out of range included

    inputs[0]->checked = true;  // sets bit 2 only
    inputs[1]->index = 2;       // item data 5
    inputs[2] = std::nullopt;   // the variant hides it
    inputs[3]->text = "7";
    const CollectResult r = CollectFields(t, inputs, block);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(block.Bytes(), (std::vector<uint8_t>{0xff, 5, 0x34, 0x12, 7, 0, 0x01, 0x00}));
}

TEST(FieldTableTest, OnOffListsShowAnyNonZeroValueAsOn) {
    FieldDef tone = Edit("tone", 0, Wire::kU8, Codec::kChoice);
    tone.control = Control::kCombo;
    tone.choices = {{"Close", 0}, {"Open", 1}};
    tone.nonZeroIsOn = true;
    ParamBlock block(1);
    block.Bytes()[0] = 7;
    FieldInput shown = ShowField(tone, block);
    EXPECT_EQ(shown.index, 1);
    EXPECT_TRUE(CollectFields({tone}, {shown}, block).ok);
    EXPECT_EQ(block.Bytes()[0], 7);  // untouched: as read
    shown.index = 0;
    CollectFields({tone}, {shown}, block);
    EXPECT_EQ(block.Bytes()[0], 0);
}

TEST(FieldTableTest, ChecksStopAtTheFirstRefusedFieldInTableOrder) {
    const FieldTable t = SampleTable();
    ParamBlock block(8);
    auto inputs = ShownInputs(t, block);
    inputs[1]->index = 1;
    inputs[3]->text = "101";
    inputs[4]->text = "zz";
    CollectResult r = CollectFields(t, inputs, block);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.field, 3);
    EXPECT_EQ(r.message, "Please enter an integer between 0 and 100.");
    EXPECT_EQ(block.Bytes()[1], 1);  // taken before the refusal
    inputs[3]->text = "100";
    r = CollectFields(t, inputs, block);
    EXPECT_EQ(r.field, 4);
    EXPECT_EQ(r.message, "second is wrong");
    EXPECT_EQ(block.Bytes()[4], 100);
}

TEST(FieldTableTest, LoadCopiesOnlyWhatArrived) {
    ParamBlock block(6);
    block.Bytes() = {1, 2, 3, 4, 5, 6};
    const std::vector<uint8_t> shortReply = {9, 9};
    EXPECT_EQ(block.Load(ByteReader(shortReply)), 2u);
    EXPECT_EQ(block.Bytes(), (std::vector<uint8_t>{9, 9, 3, 4, 5, 6}));
    const std::vector<uint8_t> longReply(100, 7);
    EXPECT_EQ(block.Load(ByteReader(longReply), 4), 2u);
    EXPECT_EQ(block.Bytes(), (std::vector<uint8_t>{9, 9, 3, 4, 7, 7}));
    EXPECT_EQ(block.Load(ByteReader(longReply), 6), 0u);
}

// Every table of the program: an untouched form sends back exactly the bytes read, whatever they are, and
// a table's checks come in its own order.
TEST(FieldTableTest, EveryTableRoundTripsUntouchedBytes) {
    std::mt19937 random(7);
    for (const NamedFieldTable& named : AllFieldTables()) {
        SCOPED_TRACE(named.name);
        for (int round = 0; round < 50; ++round) {
            ParamBlock block(named.blockSize);
            for (uint8_t& b : block.Bytes())
                b = uint8_t(random());
            const std::vector<uint8_t> read = block.Bytes();
            const CollectResult r = CollectFields(*named.table, ShownInputs(*named.table, block), block);
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(block.Bytes(), read);
        }
    }
}

TEST(FieldTableTest, EveryTableRefusesItsFirstCheckedFieldFirst) {
    for (const NamedFieldTable& named : AllFieldTables()) {
        SCOPED_TRACE(named.name);
        const FieldTable& t = *named.table;
        ParamBlock block(named.blockSize);
        auto inputs = ShownInputs(t, block);
        int expected = -1;
        for (size_t i = 0; i < t.size(); ++i) {
            const FieldDef& f = t[i];
            const bool checked = f.control == Control::kEdit && f.codec != Codec::kText && !f.parse;
            if (!checked || !block.Holds(f))
                continue;
            inputs[i]->text.assign(1, '#');
            if (expected < 0)
                expected = int(i);
        }
        const CollectResult r = CollectFields(t, inputs, block);
        EXPECT_EQ(r.field, expected);
        EXPECT_EQ(r.ok, expected < 0);
    }
}

}  // namespace field_table_test
}  // namespace nms
