// The program page of the one-channel CI/CAM receiver without windows: the source parse and the chain
// that reads the CAT, the output configuration and every program; each program's CAM choice and service
// id; the output configuration written with the choices.
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

namespace nms {

enum : uint8_t {
    kCmdCamIrdParse = 0x20,
    kCmdCamIrdProgram = 0x21,
    kCmdCamIrdSelection = 0x22,
    kCmdCamIrdWriteProgram = 0x23,
    kCmdCamIrdCat = 0x24,
    kCmdCamIrdConfig = 0x33,
    kCmdCamIrdSource = 0x35,
};

constexpr int kCamIrdProgramSize = 2089;
constexpr int kCamIrdPrograms = 128;
constexpr int kCamIrdSources = 5;
constexpr int kCamOutputConfigSize = 74;

struct CaEntry {
    uint16_t caSystemId = 0;
    uint16_t pid = 0;
};

// One program record as the page reads it; counts are kept inside the record.
struct CamIrdProgram {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kCamIrdProgramSize, 0);

    uint8_t Operation() const { return bytes[0]; }
    std::string Name() const;
    uint16_t ServiceId() const;
    uint16_t PmtPid() const;
    uint16_t PcrPid() const;
    int StreamCount() const;
    uint8_t StreamType(int stream) const;
    uint16_t StreamPid(int stream) const;
    std::vector<CaEntry> StreamCa(int stream) const;
    std::vector<CaEntry> ProgramCa() const;
    bool Red() const { return bytes[1833] == 1; }
    bool HasCa() const;
};

// The output configuration's fields: "bitrate", "tsId", "netId", "ipInsert".
const FieldTable& CamOutputConfigTable();

// "Bypass", "CI-1", "CI-2", "Delete"; other values "Bypass".
const char* CamOperationText(uint8_t operation);
// The element list's label of a stream type ("MPEG2 VIDEO(02)", "Unknow(7F)").
std::string CamIrdStreamLabel(uint8_t streamType);
// The source names of the messages ("DVB-ASI", "DVB-S/S2", ...; "UNKNOW" from index 5 on).
std::string CamIrdSourceName(int index);

class CamIrdProgramLogic {
public:
    enum : unsigned {
        kRefreshPrograms = PageStep::kRefreshPageBits,
        kRefreshCat = PageStep::kRefreshPageBits << 1,
        kRefreshSource = PageStep::kRefreshPageBits << 2,
    };

    CamIrdProgramLogic();

    int Source() const { return m_source; }
    int Count() const { return m_count; }
    const CamIrdProgram& Program(int index) const { return m_programs[size_t(index)]; }
    const std::vector<CaEntry>& Cat() const { return m_cat; }
    const ParamBlock& Config() const { return m_config; }
    int FailedField() const { return m_failedField; }

    PageStep Parse(int source);
    PageStep Refresh(int source);
    PageStep SelectSource(int source);
    PageStep SendSelection(const std::vector<std::optional<FieldInput>>& config);
    PageStep SetServiceId(int row, const std::string& text);
    void SetOperation(int row, uint8_t operation);
    // The reply of the request under way. A reply whose wait ran out still counts once: a reading-chain
    // reply (parse, CAT, configuration, program) carries the chain on as it would have in time, without a
    // wait; any other late reply is shown and starts nothing.
    PageStep HandleReply(const ReplyView& reply);
    // The wait ended without the reply (time-out, refused send): the reply, should it come, is late.
    void WaitEnded() { m_await.Ended(); }
    // Nothing went out (a refused send): nothing can come late either.
    void Refused() { m_await.Clear(); }
    bool Waiting() const { return m_await.Waiting(); }

private:
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait);
    PageStep Handle(const ReplyView& reply);
    PageStep Finish();

    int m_source = 0;
    int m_count = 0;
    std::vector<CamIrdProgram> m_programs;
    std::vector<CaEntry> m_cat;
    ParamBlock m_config;
    int m_next = 1;
    int m_expected = 1;
    std::vector<uint8_t> m_lastProgram;  // header b, c and payload of the program reply taken last
    AwaitedCommand m_await;
    int m_failedField = -1;
};

}  // namespace nms
