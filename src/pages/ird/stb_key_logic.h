// The set-top-box infrared controller's device records and exchanges, without windows: the base
// configuration (key codes, delays, public sequence), the two key tables of individual sequences, how
// they are built from the page's texts and shown again, and the read and commit chains.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

enum : uint8_t {
    kCmdStbGetBase = 0x33,
    kCmdStbSetBase = 0x34,
    kCmdStbAction = 0x43,
    kCmdStbGetTable = 0x45,
    kCmdStbSetTable = 0x55,
};

// Actions of kCmdStbAction.
enum StbAction : uint8_t { kStbSetOne = 1, kStbVolUp = 2, kStbVolDown = 3 };

constexpr int kStbBaseSize = 196;
constexpr int kStbSlotSize = 44;
constexpr int kStbSlotsPerTable = 32;
constexpr int kStbTableSize = kStbSlotSize * kStbSlotsPerTable;  // 1408
constexpr int kStbCount = 64;
constexpr int kStbPublicOffset = 100;
constexpr int kStbPublicPairs = 48;
constexpr int kStbSlotPairs = 22;
constexpr int kStbKeys = 21;
constexpr int kStbCommandTextMax = 127;

// Key codes 1..21 and their names; other names give 1 ("Up"), other codes the empty name.
int StbKeyCodeOf(const std::string& name);
std::string StbKeyNameOf(int code);
bool StbIsNumberKey(const std::string& name);
// Delay in milliseconds to the unit of a sequence pair: /100, at least 1, at most 255.
uint8_t StbDelayUnit(int milliseconds);

// The page's texts that the records are built from and shown in.
struct StbKeyForm {
    struct KeyRow {
        std::string name;
        std::string code;  // "%06x"
    };
    struct StbRow {
        std::string stb;  // "1".."64"
        std::string command;
    };
    std::vector<KeyRow> keyMap;
    int powerOnDelay = 0, keyDelay = 0, numDelay = 0;
    std::string publicCommand;  // key names joined by ","
    std::string publicCode;     // "%02x" pairs (key code, delay unit)
    std::vector<StbRow> stbCommands;
};

// The editing rules of the page. Each returns the message to show, empty when the edit was made.
// A key press: the key goes to the public sequence (code text and names) or to the individual names.
std::string StbAddKey(StbKeyForm& form, std::string& individualNames, const std::string& name, bool publicCmd,
                      bool individualCmd);
// "Set" of the key map: the row of that name gets the code text (a row is appended when there is none).
std::string StbSetKeyValue(StbKeyForm& form, const std::string& name, const std::string& code);
// "Set" of the individual sequence of stb (1..64): its row gets the names, or a row is appended.
void StbSetIndividual(StbKeyForm& form, int stb, const std::string& names);
// A command text as the editor takes it: at most 127 characters, cut after the last whole key that fits.
std::string StbCutCommand(const std::string& command);
// The command text of stb's row, cut by StbCutCommand; empty when there is none.
std::string StbCommandOf(const StbKeyForm& form, int stb);

class StbKeyLogic {
public:
    StbKeyLogic();

    const std::array<uint8_t, kStbBaseSize>& Base() const { return m_base; }
    // Both tables as one area of 64 slots, STB n at 44 x (n - 1).
    const std::array<uint8_t, 2 * kStbTableSize>& Tables() const { return m_tables; }
    // The infrared code of key code k (1..21).
    uint32_t KeyInfraredCode(int code) const;

    // The records from the form: zeroed, then codes, delays, public sequence and individual sequences.
    // Sequences longer than their area are cut (the editors refuse them first).
    void BuildDeviceRecords(const StbKeyForm& form);
    // The base configuration into the form's key map, delays and public texts; the individual names being
    // edited are emptied (the device's sequences come with its tables).
    void ShowBaseConfig(StbKeyForm& form, std::string& individualNames) const;
    // The tables into the form's STB command list.
    void ShowKeyTables(StbKeyForm& form) const;

    // The chains: Read (0x33, 0x45 table 1, 0x45 table 2) and Commit (0x34, 0x55 table 1, 0x55 table 2).
    PageStep Read();
    PageStep Commit(const StbKeyForm& form);
    PageStep Action(int stbIndex, StbAction action);
    // A reply: refresh bits kRefreshBase / kRefreshTables tell the page what to show again.
    enum : unsigned {
        kRefreshBase = PageStep::kRefreshPageBits,
        kRefreshTables = PageStep::kRefreshPageBits << 1
    };
    // A reply that comes after its wait ran out is shown once (the base record, a table) and continues no
    // chain.
    PageStep HandleReply(const ReplyView& reply);
    // The wait ended without its reply: the reply, should it come, is late.
    void WaitEnded() { m_await.Ended(); }
    // The request was refused: nothing went out, nothing can come late.
    void Refused() { m_await.Clear(); }
    int ChainStep() const { return m_step; }

private:
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, bool restart);
    PageStep ReadNext();
    PageStep CommitNext();
    PageStep Handle(const ReplyView& reply);

    std::array<uint8_t, kStbBaseSize> m_base{};
    std::array<uint8_t, 2 * kStbTableSize> m_tables{};
    int m_step = 0;
    AwaitedCommand m_await;  // the command whose reply the running wait is for
};

}  // namespace nms
