// The "Scrambler" page of the QAM modulators with a built-in scrambler, without windows: the CAS block
// with its four slots, the four AC tables (the modulators' form), and per QAM channel the programs with
// their scrambling choice, AC index and ECM PID per CAS slot; the Get and Set chains, the AC table
// transfer, the probe of the encoder-modulators and the status poll. One variant table from PageParam.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/mux/output_program_record.h"
#include "pages/scrambler/ac_table.h"
#include "pages/scrambler/chain_replies.h"

namespace nms {

enum : uint8_t {
    kCmdSasParse = 0x20,
    kCmdSasProgram = 0x21,
    kCmdSasAcIndexes = 0x22,
    kCmdSasWriteProgram = 0x23,
    kCmdSasCas = 0x24,
    kCmdSasWriteCas = 0x25,
    kCmdSasStatus = 0x26,
    kCmdSasAcRead = 0x50,
    kCmdSasAcWrite = 0x51,
};

constexpr int kSasChannels = 4;
constexpr int kSasPrograms = 64;
constexpr int kSasMaxStreams = 32;
constexpr int kSasEntrySize = 322;       // variant 0's program entry
constexpr int kSasOutputRecords = 256;   // variant 102
constexpr int kSasAcIndexPrograms = 16;  // variant 88
constexpr int kSasStatusTimerId = 2;
constexpr int kSasStatusMs = 1000;
constexpr uint16_t kSasProbeType = 0x4208;

struct Qam4SasVariant {
    enum Family { kEntries, kRecords, kAcIndexes, kOutputs };
    Family family = kRecords;
    int pageParam = 17;
    bool singleRoot = false;  // one root ("Output-program" or "Channel A")
    const char* rootName = nullptr;
    bool modeCombo = false;    // the mode list of the CAS block (35)
    bool parseButton = false;  // variant 0
};
const Qam4SasVariant& Qam4SasVariantOf(int pageParam);

// The CAS block: 4 slots of 44 bytes, 176 encrypt period (LE), 178 mode, then bytes kept as read, and the
// trailing word: the layout of the multiplexers' output settings.
using SasCasBlock = MuxOutputSettings;

// The CAS slot fields and the block fields as typed.
struct SasCasForm {
    bool enabled = false;
    std::array<uint8_t, 4> ecmgAddress{};
    std::string ecmId, ecmgPort, emmgTcpPort, emmgUdpPort, encryptPeriod;  // decimal
    std::string emmPid, superCasId;                                        // hexadecimal
    int emmgMode = 0;
    int mode = 0;
};

// One program of a channel table (variants 0 and the record variants) or of the output list (102).
struct SasProgram {
    std::vector<uint8_t> bytes;    // the record or entry, as read
    uint8_t head1 = 0, head2 = 0;  // the record variants' two bytes that travel with it
};

struct SasProgramView {
    std::string name;
    uint16_t serviceId = 0, pmtPid = 0, pcrPid = 0;
    std::vector<uint8_t> streamTypes;
    std::vector<uint16_t> pids;
};

class Qam4SasLogic {
public:
    enum : unsigned {
        kRefreshTree = PageStep::kRefreshPageBits,
        kRefreshStatus = PageStep::kRefreshPageBits << 1,
        kRefreshLayout = PageStep::kRefreshPageBits << 2,  // the variant changed: lay the page out again
    };

    explicit Qam4SasLogic(int pageParam = 17);
    void SetVariant(int pageParam);
    const Qam4SasVariant& Variant() const { return *m_variant; }
    bool Is(Qam4SasVariant::Family f) const { return m_variant->family == f; }

    // Showing the page: the probe of an encoder-modulator (once), else Get.
    PageStep Show(uint16_t deviceType);
    bool Probing() const { return m_probe; }
    bool LaidOut() const { return m_laidOut; }
    void SetLaidOut() {
        m_laidOut = true;
        m_probe = false;
    }

    PageStep Get();
    PageStep Set(const SasCasForm& form);
    // Parse of one channel (variant 0): channel -1 when no channel root is selected.
    PageStep Parse(int channel);
    // The AC table of the selected tab was edited: its two halves go to the device.
    PageStep WriteAcTable();
    PageStep Poll() const { return PageStep::Poll(kCmdSasStatus); }
    // A reply of the bound device: the status, or the next step of the running chain. Only the reply the
    // chain's request waits for moves it, and a second copy of the reply taken last does not.
    PageStep HandleReply(const ReplyView& reply);
    // The reply wait ran out: the chain is over. A reply that still comes for its request is taken once
    // (TakeLate, then HandleReply in the stage the chain was in); the page carries only LateStep of the
    // result and calls LateHandled.
    void WaitEnded() { m_replies.WaitEnded(&m_stage); }
    bool TakeLate(const ReplyView& reply) { return m_replies.TakeLate(reply, &m_stage); }
    void LateHandled() { m_replies.LateHandled(&m_stage); }
    bool Running() const { return m_stage != 0; }

    // CAS tabs and the form.
    int Tab() const { return m_tab; }
    SasCasForm Form() const;
    // The form into the selected tab's slot; the message of the first failing field, or empty.
    std::string StoreForm(const SasCasForm& form);
    std::string ChangeTab(int tab, const SasCasForm& form);
    const SasCasBlock& Block() const { return m_block; }

    SasAcTableImage& AcImage(int tab) { return m_ac[size_t(tab & 3)]; }
    const SasAcTableImage& AcImage(int tab) const { return m_ac[size_t(tab & 3)]; }
    std::vector<std::string> AcNames() const { return SasAcIndexNames(AcImage(m_tab)); }

    // Channel tables: roots are channels 0..3 (variant 102: outputs of the group 0..3).
    int RootCount() const;
    // Programs shown under a root (indexes into the channel table or the output list).
    std::vector<int> ProgramsOf(int root) const;
    SasProgramView Describe(int root, int program) const;
    int ChannelCount(int channel) const;
    const SasProgram& Program(int root, int program) const;
    // Tree values (0 no check image).
    int StreamValue(int root, int program, int stream) const;
    int ProgramValue(int root, int program) const;
    void ClickProgram(int root, int program);
    void ClickStream(int root, int program, int stream);

    // Per-program fields of the selected tab.
    int AcIndexOf(int root, int program) const;
    void SetAcIndex(int root, int program, int index);
    uint16_t EcmPidOf(int root, int program) const;
    // Stores a typed ECM PID; the message when it is refused.
    std::string SetEcmPid(int root, int program, const std::string& text);
    // Variant 0's program "Set": name, service id, AC index and ECM PID.
    std::string SetProgramFields(int root, int program, const std::string& name, const std::string& serviceId,
                                 int acIndex, const std::string& ecmPid);

    uint8_t Links() const { return m_links; }
    bool HasRead() const { return m_read; }
    int OutputGroup() const { return m_group; }
    void SetOutputGroup(int group) { m_group = group >= 0 && group < 4 ? group : 0; }
    int ModuleCount() const { return m_modules; }
    int OutputProgramCount() const { return int(m_outputs.size()); }

private:
    struct Channel {
        int count = 0;
        std::array<uint8_t, 4> pairs{};
        std::vector<SasProgram> programs;
        std::array<std::array<uint8_t, kSasMaxStreams>, kSasPrograms> marks{};
    };
    PageStep Step(const ReplyView& reply);
    bool RepliesNamed() const;
    PageStep Begin(PageStep step) {
        m_replies.Start();
        return Made(std::move(step));
    }
    PageStep Made(PageStep step) {
        m_replies.Made(step, m_stage != 0);
        return step;
    }
    // The channel table and index of a program of a root (the record variants number their programs
    // across the tables, so that a record shows under every channel it is carried on).
    bool Locate(int root, int program, int* table, int* index) const;
    int Shift() const { return Is(Qam4SasVariant::kOutputs) ? 3 : 0; }
    int StreamCount(const std::vector<uint8_t>& r) const;
    int Code(const std::vector<uint8_t>& r, int stream) const;
    void SetCode(std::vector<uint8_t>& r, int stream, int code) const;
    SasProgram* Find(int root, int program);
    const SasProgram* Find(int root, int program) const;
    void LoadMarks(int channel);
    void TreeToTables();
    PageStep ProgramRequest();
    PageStep NextProgramOrEnd();
    PageStep WriteNext();
    PageStep EndChain(unsigned refresh = PageStep::kRefreshAll);
    PageStep Finish();
    std::vector<uint8_t> CasPrefix() const;

    const Qam4SasVariant* m_variant;
    SasCasBlock m_block;
    std::array<SasAcTableImage, 4> m_ac{};
    std::array<Channel, kSasChannels> m_channels;
    std::vector<SasProgram> m_outputs;                           // variant 102
    std::array<uint8_t, kSasAcIndexPrograms * 4> m_acIndexes{};  // variant 88
    int m_acIndexCount = 0;
    int m_modules = 1;
    int m_group = 0;
    int m_tab = 0;
    bool m_probe = true;
    bool m_laidOut = false;
    bool m_getAll = false;
    bool m_read = false;
    int m_stage = 0;
    int m_channel = 0;
    int m_index = 0;
    int m_page = 0;
    uint8_t m_links = 0;
    ChainReplies m_replies;
};

}  // namespace nms
