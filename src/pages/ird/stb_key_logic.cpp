#include "pages/ird/stb_key_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/late_reply.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr const char* kKeyNames[kStbKeys] = {"Up",   "Down", "Left", "Right", "Ok", "Menu", "Exit",
                                             "Vol+", "Vol-", "Main", "Live",  "0",  "1",    "2",
                                             "3",    "4",    "5",    "6",     "7",  "8",    "9"};
// The order in which the key map shows the keys.
constexpr int kShowOrder[kStbKeys] = {1,  2,  3,  4,  5,  6,  8,  9,  7,  10, 11,
                                      12, 13, 14, 15, 16, 17, 18, 19, 20, 21};

constexpr int kBasePowerOnDelay = 94;
constexpr int kBaseKeyDelay = 96;
constexpr int kBaseNumDelay = 98;
constexpr int kBaseHighestStb = 92;

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool ParseStbNumber(const std::string& text, int* stb) {
    if (text.empty() || text.size() > 3 || !IsDecimalText(text))
        return false;
    *stb = std::stoi(text);
    return *stb >= 1 && *stb <= kStbCount;
}

}  // namespace

int StbKeyCodeOf(const std::string& name) {
    for (int i = 0; i < kStbKeys; ++i)
        if (name == kKeyNames[i])
            return i + 1;
    return 1;
}

std::string StbKeyNameOf(int code) {
    return code >= 1 && code <= kStbKeys ? kKeyNames[code - 1] : "";
}

bool StbIsNumberKey(const std::string& name) {
    return name.size() == 1 && name[0] >= '0' && name[0] <= '9';
}

uint8_t StbDelayUnit(int milliseconds) {
    return uint8_t(std::clamp(milliseconds / 100, 1, 255));
}

namespace {

int CountNames(const std::string& text) {
    return text.empty() ? 0 : int(std::count(text.begin(), text.end(), ',')) + 1;
}

}  // namespace

std::string StbAddKey(StbKeyForm& form, std::string& individualNames, const std::string& name, bool publicCmd,
                      bool individualCmd) {
    if (publicCmd && individualCmd)
        return "Please only choice Public Cmd or Private Cmd to set";
    if ((publicCmd || individualCmd) && form.keyDelay < 1)
        return "Please set key delay first!";
    const int delay = StbIsNumberKey(name) ? form.numDelay : form.keyDelay;
    if (publicCmd) {
        // The device's public area holds 48 pairs.
        if (CountNames(form.publicCommand) >= kStbPublicPairs)
            return "The public command holds at most 48 keys.";
        if (!form.publicCommand.empty())
            form.publicCommand += ",";
        form.publicCommand += name;
        char pair[8];
        std::snprintf(pair, sizeof pair, "%02x%02x", unsigned(StbKeyCodeOf(name)),
                      unsigned(StbDelayUnit(delay)));
        form.publicCode += pair;
    } else if (individualCmd) {
        if (CountNames(individualNames) >= kStbSlotPairs)
            return "A set-top box command holds at most 22 keys.";
        // The command list keeps 127 characters a row: a longer text would lose its last key.
        const size_t length = individualNames.size() + (individualNames.empty() ? 0 : 1) + name.size();
        if (length > size_t(kStbCommandTextMax))
            return "A set-top box command holds at most 127 characters.";
        if (!individualNames.empty())
            individualNames += ",";
        individualNames += name;
    }
    return {};
}

std::string StbSetKeyValue(StbKeyForm& form, const std::string& name, const std::string& code) {
    if (code.size() != 6)
        return "Key length must be 6 characters!";
    if (name.empty())
        return {};
    for (StbKeyForm::KeyRow& row : form.keyMap)
        if (row.name == name) {
            row.code = code;
            return {};
        }
    form.keyMap.push_back({name, code});
    return {};
}

void StbSetIndividual(StbKeyForm& form, int stb, const std::string& names) {
    for (StbKeyForm::StbRow& row : form.stbCommands) {
        int n = 0;
        if (ParseStbNumber(row.stb, &n) && n == stb) {
            row.command = names;
            return;
        }
    }
    form.stbCommands.push_back({std::to_string(stb), names});
}

std::string StbCutCommand(const std::string& command) {
    if (command.size() <= size_t(kStbCommandTextMax))
        return command;
    // Whole keys only: a key name cut short would be read as another key.
    const size_t comma = command.rfind(',', size_t(kStbCommandTextMax));
    return comma == std::string::npos ? std::string() : command.substr(0, comma);
}

std::string StbCommandOf(const StbKeyForm& form, int stb) {
    for (const StbKeyForm::StbRow& row : form.stbCommands) {
        int n = 0;
        if (ParseStbNumber(row.stb, &n) && n == stb)
            return StbCutCommand(row.command);
    }
    return {};
}

StbKeyLogic::StbKeyLogic() = default;

uint32_t StbKeyLogic::KeyInfraredCode(int code) const {
    if (code < 1 || code > kStbKeys)
        return 0;
    return ByteReader(m_base.data(), m_base.size()).U32LEOr(size_t(4 * (code - 1)));
}

void StbKeyLogic::BuildDeviceRecords(const StbKeyForm& form) {
    m_base.fill(0);
    m_tables.fill(0);
    ByteWriter base(m_base.data(), m_base.size());
    for (const StbKeyForm::KeyRow& row : form.keyMap) {
        for (int k = 0; k < kStbKeys; ++k)
            if (row.name == kKeyNames[k])
                base.U32LE(size_t(4 * k), HexPrefixToUInt32(row.code));
    }
    base.U16LE(kBasePowerOnDelay, uint16_t(form.powerOnDelay));
    base.U16LE(kBaseKeyDelay, uint16_t(form.keyDelay));
    base.U16LE(kBaseNumDelay, uint16_t(form.numDelay));

    const uint8_t keyUnit = StbDelayUnit(form.keyDelay);
    const uint8_t numUnit = StbDelayUnit(form.numDelay);
    // The public sequence from its code text, each delay byte then set from the pair's key.
    uint8_t* pub = m_base.data() + kStbPublicOffset;
    HexTextToBytes(form.publicCode, pub, 2 * kStbPublicPairs);
    for (int pair = 0; pair < kStbPublicPairs && pub[2 * pair] != 0; ++pair) {
        const int code = pub[2 * pair];
        pub[2 * pair + 1] = code >= 12 && code <= kStbKeys ? numUnit : keyUnit;
    }

    int highest = 0;
    for (const StbKeyForm::StbRow& row : form.stbCommands) {
        int stb = 0;
        if (!ParseStbNumber(row.stb, &stb))
            continue;
        uint8_t* slot = m_tables.data() + kStbSlotSize * (stb - 1);
        std::fill(slot, slot + kStbSlotSize, 0);
        int pair = 0;
        for (const std::string& name : SplitNames(row.command)) {
            if (pair == kStbSlotPairs)
                break;
            slot[2 * pair] = uint8_t(StbKeyCodeOf(name));
            slot[2 * pair + 1] = !name.empty() && name[0] >= '0' && name[0] <= '9' ? numUnit : keyUnit;
            ++pair;
        }
        highest = std::max(highest, stb);
    }
    base.U16LE(kBaseHighestStb, uint16_t(highest));
}

void StbKeyLogic::ShowBaseConfig(StbKeyForm& form, std::string& individualNames) const {
    individualNames.clear();
    form.keyMap.clear();
    form.publicCommand.clear();
    form.publicCode.clear();
    for (int code : kShowOrder) {
        const uint32_t ir = KeyInfraredCode(code);
        if (ir == 0)
            continue;
        char text[16];
        std::snprintf(text, sizeof text, "%06x", ir);
        form.keyMap.push_back({kKeyNames[code - 1], text});
    }
    const ByteReader r(m_base.data(), m_base.size());
    form.powerOnDelay = r.U16LEOr(kBasePowerOnDelay);
    form.keyDelay = r.U16LEOr(kBaseKeyDelay);
    form.numDelay = r.U16LEOr(kBaseNumDelay);
    const uint8_t* pub = m_base.data() + kStbPublicOffset;
    int length = 0;
    while (length < 2 * kStbPublicPairs && pub[length] != 0)
        length += 2;
    if (length == 0)
        return;
    form.publicCode = BytesToHexText(pub, length);
    for (int i = 0; i < length; i += 2) {
        if (i)
            form.publicCommand += ",";
        form.publicCommand += StbKeyNameOf(pub[i]);
    }
}

void StbKeyLogic::ShowKeyTables(StbKeyForm& form) const {
    form.stbCommands.clear();
    for (int stb = 1; stb <= kStbCount; ++stb) {
        const uint8_t* slot = m_tables.data() + kStbSlotSize * (stb - 1);
        if (slot[0] == 0)
            continue;
        std::string command;
        for (int pair = 0; pair < kStbSlotPairs && slot[2 * pair] != 0; ++pair) {
            if (pair)
                command += ",";
            command += StbKeyNameOf(slot[2 * pair]);
        }
        form.stbCommands.push_back({std::to_string(stb), command});
    }
}

PageStep StbKeyLogic::Ask(uint8_t command, std::vector<uint8_t> payload, bool restart) {
    m_await.Expect(command);
    return PageStep::Request(command, std::move(payload),
                             restart ? PageStep::Wait::kRestartShort : PageStep::Wait::kBeginShort);
}

PageStep StbKeyLogic::Read() {
    m_step = 1;
    return Ask(kCmdStbGetBase, std::vector<uint8_t>(8, 0), false);
}

PageStep StbKeyLogic::Commit(const StbKeyForm& form) {
    BuildDeviceRecords(form);
    m_step = 1;
    return Ask(kCmdStbSetBase, std::vector<uint8_t>(m_base.begin(), m_base.end()), false);
}

PageStep StbKeyLogic::Action(int stbIndex, StbAction action) {
    if (stbIndex < 0 || stbIndex >= kStbCount)
        return {};
    return Ask(kCmdStbAction, {uint8_t(stbIndex), uint8_t(action)}, false);
}

PageStep StbKeyLogic::ReadNext() {
    if (m_step != 1 && m_step != 2)
        return PageStep::End();
    std::vector<uint8_t> payload(8, 0);
    payload[0] = uint8_t(m_step);
    ++m_step;
    return Ask(kCmdStbGetTable, std::move(payload), true);
}

PageStep StbKeyLogic::CommitNext() {
    if (m_step != 1 && m_step != 2)
        return PageStep::End();
    std::vector<uint8_t> payload;
    payload.reserve(1 + kStbTableSize);
    payload.push_back(uint8_t(m_step));
    const auto* table = m_tables.data() + kStbTableSize * (m_step - 1);
    payload.insert(payload.end(), table, table + kStbTableSize);
    ++m_step;
    return Ask(kCmdStbSetTable, std::move(payload), true);
}

PageStep StbKeyLogic::HandleReply(const ReplyView& reply) {
    return ReplyStep(m_await, reply, false, [&] { return Handle(reply); });
}

PageStep StbKeyLogic::Handle(const ReplyView& reply) {
    const int command = reply.Command();
    if (!m_await.InTime(reply))
        return {};
    const ByteReader r = reply.Reader();
    PageStep step;
    switch (command) {
        case kCmdStbGetBase:
            if (!r.Bytes(0, kStbBaseSize, m_base.data()))
                return {};  // too short: nothing changes, the wait runs out
            step = ReadNext();
            step.refresh |= kRefreshBase;
            break;
        case kCmdStbGetTable: {
            uint8_t table = 0;
            if (!r.U8(0, &table))
                return {};
            if (table == 1 || table == 2) {
                if (!r.Bytes(1, kStbTableSize, m_tables.data() + kStbTableSize * (table - 1)))
                    return {};
                step = ReadNext();
                step.refresh |= kRefreshTables;
            } else {
                step = ReadNext();  // another number changes no table but the chain goes on
            }
            break;
        }
        case kCmdStbSetBase:
        case kCmdStbSetTable:
            step = CommitNext();
            break;
        case kCmdStbAction:
            step = PageStep::End();
            break;
        default:
            return {};
    }
    if (step.wait == PageStep::Wait::kEnd)
        m_await.Clear();
    return step;
}

}  // namespace nms
