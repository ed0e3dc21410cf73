// The parameter records of the single QAM/QPSK modulator (43 bytes) and of the QAM output of the
// multiplexing modulator (93 bytes), read with 0x33 and written with 0x34, without windows.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

enum : uint8_t {
    kCmdModulatorGet = 0x33,
    kCmdModulatorSet = 0x34,
};

constexpr int kQamModulatorParamsSize = 43;
constexpr int kMuxQamOutputParamsSize = 93;
// The single modulator's Set clears the modulation block past what the form fills (bytes 11 to 22): the
// form rebuilds the block, the rest of it goes out as 0.
constexpr int kQamModulatorClearFrom = 11;
constexpr int kQamModulatorClearTo = 23;

// The single modulator's record. Keys: "port", "tsId", "netId", "constellation", "coding", "interface",
// "att", "attQpsk", "freq", "symbol", "annex", "inversion", "pat", "pmt", "sdt", "nit", "cat".
const FieldTable& QamModulatorParamsTable();
// The multiplexing modulator's QAM output. Keys: "port", "constellation", "att", "freq", "symbol",
// "annex", "inversion", "tsId", "netId".
const FieldTable& MuxQamOutputParamsTable();

// The variants of the single modulator page.
struct QamPageVariant {
    int pageParam;
    bool qpsk;  // the QPSK modulator: convolution code and its own attenuation, no insertion fields
};
const QamPageVariant& QamVariant(int pageParam);
// The keys the variant shows.
std::vector<std::string> QamShownKeys(const QamPageVariant& variant);

class QamRecordLogic : public BlockLogic {
public:
    // mirrorPort: where a Set repeats the IP insertion port (-1: nowhere); idsFrom: the reply length
    // from which the record carries the identifiers (0: always); a Set sends the bytes from clearFrom up to
    // clearTo (exclusive) as 0, whatever the device had put there.
    QamRecordLogic(const FieldTable& table, int size, int mirrorPort, int idsFrom, int clearFrom = 0,
                   int clearTo = 0);

    const ParamBlock& Block() const { return m_block; }
    bool IdsShown() const { return m_idsShown; }

    // The page has no selector.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    const FieldTable* m_table;
    ParamBlock m_block;
    int m_mirrorPort;
    int m_idsFrom;
    int m_clearFrom, m_clearTo;
    bool m_idsShown = false;
};

}  // namespace nms
