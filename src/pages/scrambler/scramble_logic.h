// The "Scrambler" page of the stand-alone ASI scrambler, without windows: the QAM scrambler's programs,
// slots, marks and AC tables with their own request set, plus the TS block (TS ID, SDT), the fixed control
// words and the CAT / PMT sections that the CA descriptor dialog edits. Request codes and the element
// marks depend on the device's software version.
#pragma once

#include "pages/scrambler/scrambler_logic.h"

namespace nms {

enum : uint8_t {
    kCmdScrambleProgramOld = 0x21,
    kCmdScrambleParseNew = 0x30,
    kCmdScrambleProgramNew = 0x31,
    kCmdScrambleAcRead = 0x22,
    kCmdScrambleAcWriteOld = 0x23,
    kCmdScrambleAcWriteNew = 0x33,
    kCmdScrambleTs = 0x40,
    kCmdScrambleWriteTs = 0x41,
    kCmdScrambleCw = 0x42,
    kCmdScrambleWriteCw = 0x43,
    kCmdScrambleWriteProgram = 0x2f,
    kCmdScrambleCat = 0x2d,
    kCmdScrambleWriteCat = 0x2e,
    kCmdScramblePmt = 0x29,
    kCmdScrambleWritePmt = 0x2a,
};

// The software version of a device's version word (major x 256 + minor).
inline int SoftwareVersion(uint32_t versionWord) {
    return int(versionWord & 0xff) * 256 + int(versionWord >> 8 & 0xff);
}

class ScrambleLogic : public ScramblerLogic {
public:
    static constexpr int kRecordSize = kScrambleProgramSize;
    static constexpr const char* kGetFirstMessage =
        "Please press 'Get' to update config. before your seting(can not set '0')";
    enum : unsigned {
        kRefreshSection = ScramblerLogic::kRefreshTs << 1,  // a CAT or PMT section arrived for the dialog
    };

    ScrambleLogic();
    void Reset() override;
    ScramblerProgramInfo Describe(int program) const override;
    int TreeCount() const override { return m_count; }

    // The device's version word, before each operation.
    void SetVersion(uint32_t versionWord);
    int Version() const { return m_version; }

    PageStep Parse();
    PageStep Refresh();
    PageStep Set(const ScramblerSlotForm& form, int selectedProgram);
    PageStep EditCat();
    PageStep EditPmt(int program);
    // After the dialog's OK: the edited section goes back.
    PageStep WriteSection(const uint8_t* section, int length);

    // The section that arrived for the dialog (CAT or PMT), the reply payload as received.
    bool SectionIsCat() const { return m_sectionCat; }
    const std::vector<uint8_t>& Section() const { return m_section; }

    const std::vector<uint8_t>& TsBlock() const { return m_ts; }
    bool TsRead() const { return m_tsRead; }
    const std::vector<uint8_t>& CwTable() const { return m_cw; }
    bool CwRead() const { return m_cwRead; }
    // The 8 CW bytes of a program (1..64).
    std::vector<uint8_t> Cw(int program) const;
    void SetCw(int program, const std::vector<uint8_t>& cw);

    // The fields of the program dialog, and the record changed from them after OK; the message of a
    // refusal, or empty.
    std::string ApplyProgramEdit(int program, uint16_t serviceId, const std::string& name, uint16_t pmtPid,
                                 uint16_t pcrPid, const std::vector<uint16_t>& elementPids);

protected:
    PageStep StatusReply(const ReplyView& reply) override;
    PageStep Step(const ReplyView& reply) override;
    bool RepliesNamed() const override { return m_stage == kPrograms || m_stage == kAcReading; }

private:
    enum Stage {
        kIdle,
        kParse,
        kPrograms,
        kCas,
        kAcReading,
        kTs,
        kCwRead,
        kWriteCas,
        kWriteTs,
        kWriteCw,
        kWritePrograms,
        kAcWriting,
        kSectionRead,
        kSectionWrite,
    };
    bool NewCodes() const { return m_version >= 0x0FFF; }
    PageStep StartPrograms(uint8_t command);
    PageStep SendProgram();
    PageStep SendAcPage();

    int m_version = 0;
    bool m_fullRead = false;
    uint8_t m_programCommand = kCmdScrambleProgramOld;
    std::vector<uint8_t> m_ts;
    std::vector<uint8_t> m_cw;
    bool m_tsRead = false;
    bool m_cwRead = false;
    ScramblerSlotForm m_pendingForm;  // TS ID, SDT and Fix CW of the running Set
    bool m_sectionCat = false;
    std::vector<uint8_t> m_section;
};

}  // namespace nms
