// The multi-RF QAM modulator page without windows: the parameter records of its nine variants (four RF
// outputs; the DVB-T style three-output record; four modules of four outputs), the frequency spread rule,
// and the realtime monitor of bitrates (with their minimum and maximum since the last Get) and locks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kQam4StatusTimerId = 64;
constexpr int kQam4StatusPollMs = 2000;
constexpr int kQam4Rfs = 4;
constexpr int kQam4Modules = 4;
constexpr int kQam4RecordSize = 542;  // 540 bytes and the word that follows them
constexpr int kQam4DvbtSize = 324;
constexpr int kQam4ModuleSize = 145;
constexpr size_t kQam4ModulesAt = 8;  // the module blocks follow eight leading bytes
constexpr int kQam4MaxSpreadMhz = 80;
constexpr int kQam4MinPowerDb = 80;  // the range the power field's unit label names
constexpr int kQam4MaxPowerDb = 110;

enum class Qam4Layout { kStandard, kDvbt, kModules };

struct Qam4Variant {
    int pageParam;
    Qam4Layout layout;
    int rfs;            // RF outputs shown
    unsigned psi;       // PSI checks shown: bit 0 PAT, 1 SDT, 2 NIT, 3 PMT, 4 CAT
    bool ids;           // TS ID and NET. ID per RF, stored in the record
    int locks;          // lock indicators shown
    bool muxScrambler;  // the "MUX" and "Scrambler" lists
    bool outputTab;     // the scrambler's "Output" tab: the shared radio fields and RF-1's ATT/check hidden
};
const Qam4Variant& Qam4VariantOf(int pageParam);

// Field keys: "symbol", "constellation", "power", "spacing", per RF k (1..4) "freq<k>", "att<k>",
// "rf<k>" (enable), "pat<k>", "sdt<k>", "nit<k>", "pmt<k>", "cat<k>", "ts<k>", "net<k>"; standard
// record also "mux", "scrambler"; DVB-T record "guard", "mode", "bandwidth", "fec".
const FieldTable& Qam4StandardTable();
const FieldTable& Qam4DvbtTable();
const FieldTable& Qam4ModuleTable();
std::string Qam4Key(const char* name, int rf);  // "freq" and 1 -> "freq1"

class Qam4Logic : public BlockLogic {
public:
    enum : unsigned {
        kRefreshStatus = PageStep::kRefreshPageBits,
        kRefreshModules = PageStep::kRefreshPageBits << 1
    };

    explicit Qam4Logic(int pageParam);

    const Qam4Variant& Variant() const { return m_variant; }
    const FieldTable& Table() const;
    // The block the form shows: the record, or the selected module's block.
    const ParamBlock& Block() const;
    int Module() const { return m_module; }
    int ModuleCount() const { return m_moduleCount; }

    // The module tabs are the form's, not a selector: requests carry every module.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    // The form into the shown module, then another module shown; false (message in *step, nothing
    // switched) when a field is refused.
    bool SelectModule(int module, const FormInputs& inputs, PageStep* step);
    PageStep Poll() const override { return PageStep::Poll(0x40); }
    PageStep HandleReply(const ReplyView& reply) override;

    // RF-2..RF-4 frequencies ("%d" whole MHz) from RF-1's text and the spacing.
    static std::array<std::string, 3> SpreadFrequencies(const std::string& rf1, int spacing);

    // Monitor.
    uint8_t Locks() const { return m_locks; }
    const std::array<std::string, kQam4Rfs>& Rates() const { return m_rates; }
    const std::array<std::string, kQam4Rfs>& Minimum() const { return m_min; }
    const std::array<std::string, kQam4Rfs>& Maximum() const { return m_max; }

private:
    ParamBlock& MutableBlock();
    bool CollectForm(const FormInputs& inputs, PageStep* refused);
    void ShowRates(const ByteReader& r, size_t first);

    Qam4Variant m_variant;
    ParamBlock m_record;
    std::array<ParamBlock, kQam4Modules> m_modules;
    int m_module = 0;
    int m_moduleCount = kQam4Modules;
    bool m_replied = false;
    uint8_t m_locks = 0;
    std::array<bool, kQam4Rfs> m_sampled{};
    std::array<uint32_t, kQam4Rfs> m_minValue{}, m_maxValue{};
    std::array<std::string, kQam4Rfs> m_rates, m_min, m_max;
};

}  // namespace nms
