// The single-output DVB-S/S2, DTMB, DVB-T and DVB-T2 modulators without windows: their 55-byte
// parameter blocks (one per standard), the lists of each layout, the FEC list rule of DVB-S/S2, and the
// Get/Set exchange that picks the block by variant and by the marker the device puts in its reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kDvbtBlockSize = 55;
constexpr uint8_t kT2Marker = 8;
constexpr int kDvbtMinPowerTenths = 800;  // the range the power field's unit label names, 80-110 dB
constexpr int kDvbtMaxPowerTenths = 1100;

enum class DvbtLayout { kDvbS2, kDtmb, kDvbt, kDvbT2 };

struct DvbtVariant {
    int pageParam;
    DvbtLayout layout;    // the layout the page starts with
    bool inputFrequency;  // the transmodulator shows its input frequency
};
const DvbtVariant& DvbtVariantOf(int pageParam);

// Tables of the four layouts; keys as the labels say ("freq", "enable", "power", "constellation", ...).
const FieldTable& DvbS2Table();
const FieldTable& DtmbTable();
const FieldTable& DvbtTable();
const FieldTable& DvbT2Table();
const FieldTable& DvbtTableOf(DvbtLayout layout);

// The DVB-S/S2 FEC list in force for a standard (0 DVB-S, 1 DVB-S2) and constellation (0 QPSK, 1 8PSK).
const std::vector<std::string>& S2FecList(int standard, int constellation);
// The FEC index kept when the list changes to that of (standard, constellation).
int S2FecIndexAfter(int standard, int constellation, int index);

// Power in tenths of a dB: typed with one decimal ("95.5" gives 955), shown "%d.%d".
FieldResult ParseTenthsOfDb(const FieldDef& field, const FieldInput& input);
std::string FormatTenthsOfDb(const FieldDef& field, int64_t value);

class DvbtModLogic : public BlockLogic {
public:
    explicit DvbtModLogic(int pageParam);

    const DvbtVariant& Variant() const { return m_variant; }
    DvbtLayout Layout() const { return m_layout; }
    const FieldTable& Table() const { return DvbtTableOf(m_layout); }
    const ParamBlock& Block() const;

    // The page has no selector.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    ParamBlock& MutableBlock();

    DvbtVariant m_variant;
    DvbtLayout m_layout;
    ParamBlock m_s2{kDvbtBlockSize}, m_dtmb{kDvbtBlockSize}, m_t2{kDvbtBlockSize};
};

}  // namespace nms
