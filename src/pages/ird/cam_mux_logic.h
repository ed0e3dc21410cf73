// The program page of the one-channel CI/CAM receiver with multiplexer, without windows: per input (RF,
// ASI) the CA table, CAT, output configuration and programs read in a chain; each program's choice, ECM
// selection and edited fields; the configuration written with the choices and the records the device
// asks for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/field_table.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"
#include "pages/ird/cam_ird_program_logic.h"
#include "pages/mux/edit_program_fields.h"

namespace nms {

enum : uint8_t {
    kCmdCamMuxCat = 0x25,
    kCmdCamMuxWriteConfig = 0x34,
    kCmdCamMuxEcm = 0x39,
    kCmdCamMuxNextRecord = 0x63,
};

constexpr int kCamMuxRecordSize = 2013;
constexpr int kCamMuxInputs = 2;
constexpr int kCamMuxEcmEntries = 20;

struct CamMuxProgram {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kCamMuxRecordSize, 0);

    uint8_t Operation() const { return bytes[0]; }
    std::string InputName() const;
    std::string OutputName() const;
    uint16_t ServiceId() const;
    uint16_t PmtPid() const;
    uint16_t PcrPid() const;
    int StreamCount() const;
    uint8_t StreamType(int stream) const;
    uint16_t StreamPid(int stream) const;
    int StreamEcmCount(int stream) const;
    int StreamFirstIndex(int stream) const;
    uint16_t StreamEcmPid(int stream, int entry) const;
    uint32_t StreamMask(int stream) const;
    int EcmCount() const;
    int FirstIndex() const;
    uint16_t EcmPid(int entry) const;
    uint32_t Mask() const;
    bool Red() const { return bytes[1757] == 1; }
    bool HasEcm() const;
};

struct CamMuxCat {
    int emmCount = 0;
    int firstIndex = 0;
    std::array<uint16_t, kCamMuxEcmEntries> emmPids{};
};

// The output configuration fields of the page ("bitrate", "tsId", "netId", "ipInsert") are those of the
// one-channel receiver; bytes 10-13 hold the two CI slots' CA system ids, byte 14 the pass flags.
constexpr int kCamMuxPassFlags = 14;
constexpr int kCamMuxPassBoxes = 5;

// The element list's label of a stream type ("MPEG2 VIDEO:02").
std::string CamMuxStreamLabel(uint8_t streamType);
// The program edit dialog's element label ("02 MPEG-2 Video", "81 A52 Audio(aka AC3)").
std::string CamMuxEditLabel(uint8_t streamType);

class CamMuxLogic {
public:
    enum : unsigned {
        kRefreshPrograms = PageStep::kRefreshPageBits,
    };

    CamMuxLogic();

    int Input() const { return m_input; }
    int Count(int input) const { return m_counts[size_t(input)]; }
    const CamMuxProgram& Program(int input, int index) const {
        return m_programs[size_t(input)][size_t(index)];
    }
    // The CA system id of CA-table entry index of the input (0 at or beyond the count).
    uint16_t CaSystemId(int input, int index) const;
    const CamMuxCat& Cat(int input) const { return m_cats[size_t(input)]; }
    const ParamBlock& Config() const { return m_config; }
    int FailedField() const { return m_failedField; }

    // The device's version word, read before each operation's first reply.
    void SetVersion(uint32_t versionWord) { m_version = versionWord; }

    PageStep Parse(int input);
    PageStep Refresh(int input);
    // passBoxes: the five boxes (checked = passed).
    PageStep WriteConfig(int input, const std::vector<std::optional<FieldInput>>& config,
                         const std::array<bool, kCamMuxPassBoxes>& passBoxes);
    PageStep WriteEcm(int row);
    void SetOperation(int row, uint8_t operation);
    // A double click on an ECM entry: stream -1 is the program's own list.
    void ToggleEcm(int row, int stream, int entry);
    // The program edit dialog's fields for a row, and the record changed from them after OK.
    EditProgramFields EditFields(int row) const;
    PageStep ApplyEdit(int row, const EditProgramFields& fields);
    // A reply after its wait ran out is shown once and continues no chain.
    PageStep HandleReply(const ReplyView& reply);
    void WaitEnded() {
        m_await.Ended();
        m_writing = false;
        m_pendingWarning.clear();
    }
    void Refused() {
        WaitEnded();
        m_await.Clear();
    }

private:
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait);
    PageStep Handle(const ReplyView& reply);
    PageStep Finish();
    // Keeps a warning for the end of the operation; the reply itself changes nothing.
    PageStep Hold(const PageStep& warning);
    CamMuxProgram* Row(int row);

    std::array<std::vector<CamMuxProgram>, kCamMuxInputs> m_programs;
    std::array<int, kCamMuxInputs> m_counts{};
    std::array<std::vector<uint32_t>, kCamMuxInputs> m_caTables;  // system id << 16 | PID
    std::array<CamMuxCat, kCamMuxInputs> m_cats{};
    ParamBlock m_config;
    int m_input = 0;
    int m_counter = 1;
    int m_expected = 1;
    std::vector<uint8_t> m_lastProgram;  // header b, c and payload of the program reply taken last
    AwaitedCommand m_await;
    bool m_writing = false;
    bool m_warned = false;
    std::vector<std::string> m_pendingWarning;
    uint32_t m_version = 0;
    int m_failedField = -1;
};

}  // namespace nms
