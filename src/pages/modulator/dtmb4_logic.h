// The multi-channel DTMB modulator without windows: one 237-byte block with the shared DTMB set-up and a
// record per RF channel (frequency, attenuation, enable bit, table insertion, TS ID, network ID), read
// with 0x33 and written with 0x34, and the lock and bitrate status (0x40).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kDtmbMultiBlockSize = 237;
constexpr int kDtmbChannels = 6;
constexpr int kDtmbStatusTimerId = 66;
constexpr int kDtmbStatusPollMs = 1500;

struct Dtmb4Variant {
    int pageParam;
    int tabs;         // channel tabs at first (and the frequency fields shown)
    unsigned psi;     // insertion boxes shown (bit 0 PAT .. bit 4 CAT)
    bool wholePower;  // power in whole units, else tenths
    bool ids;         // TS ID and NET. ID shown
    bool att;         // attenuation shown
    int rates;        // bitrate fields
    unsigned locks;   // lock lamps shown (bit k: channel k+1)
    bool pidTracking;
    const char* powerUnit;
    int minPowerDb, maxPowerDb;  // the range the power unit label names
};
const Dtmb4Variant& Dtmb4VariantOf(int pageParam);

// Keys: shared "power", "powerWhole", "mode", "frame", "inverse", "interleave", "pilot", "carrier",
// "network", "pidTracking"; per channel k (1..6) "freq<k>", and for the channel in front "enable<k>",
// "att<k>", "pat<k>".."cat<k>", "ts<k>", "net<k>".
const FieldTable& DtmbMultiTable();
std::string DtmbKey(const char* name, int channel);
// The keys of one channel that only the channel in front shows.
std::vector<std::string> DtmbChannelKeys(int channel);

class Dtmb4Logic : public BlockLogic {
public:
    enum : unsigned {
        kRefreshStatus = PageStep::kRefreshPageBits,
        kRefreshChannels = PageStep::kRefreshPageBits << 1,   // a new set of tabs, the first in front
        kRefreshTabControl = PageStep::kRefreshPageBits << 2  // the tab control shown or hidden
    };

    explicit Dtmb4Logic(int pageParam);

    const Dtmb4Variant& Variant() const { return m_variant; }
    const ParamBlock& Block() const { return m_block; }
    // The channel tabs: their number (and of the frequency fields shown), and whether the tab control
    // shows. A reply counting one channel hides the control and leaves the rest; one counting six brings
    // six tabs (shown) with the first in front.
    int TabCount() const { return m_tabs; }
    bool TabsShown() const { return m_tabsShown; }
    uint8_t Locks() const { return m_locks; }
    const std::array<std::string, 4>& Rates() const { return m_rates; }

    // The channel tabs are the form's, not a selector: requests carry the whole block.
    PageStep Get(std::optional<int> selection) override;
    // inputs: the form as the binder gives it (the channel in front and the shared fields).
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    // Stores the form into the block (a tab change); false with the message in *refused.
    bool Store(const FormInputs& inputs, PageStep* refused);
    PageStep HandleReply(const ReplyView& reply) override;
    PageStep Poll() const override { return PageStep::Poll(0x40); }

private:
    Dtmb4Variant m_variant;
    ParamBlock m_block;
    int m_tabs;
    bool m_tabsShown = true;
    FieldTable m_table;  // the block's fields, the power kept to this variant's range
    uint8_t m_locks = 0;
    std::array<std::string, 4> m_rates{};
};

}  // namespace nms
