#include "pages/modulator/qam4_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr unsigned kAllPsi = 0x1f;
constexpr Qam4Variant kVariants[] = {
    // One lamp per RF output: the status poll reports the four outputs' locks.
    {0, Qam4Layout::kStandard, 4, 0, false, 4, false, false},
    {16, Qam4Layout::kStandard, 4, kAllPsi, false, 5, false, false},
    {17, Qam4Layout::kStandard, 4, kAllPsi, true, 0, true, false},
    {18, Qam4Layout::kStandard, 4, kAllPsi, true, 8, false, false},
    {19, Qam4Layout::kStandard, 4, kAllPsi, true, 8, false, true},
    // 33 and 35 show the identifiers of every RF too; they carry them where the other variants do, so an
    // identifier shown is the one read and the one typed is the one sent.
    {33, Qam4Layout::kStandard, 4, kAllPsi & ~0x10u, true, 0, false, false},
    {34, Qam4Layout::kStandard, 4, 0x04, false, 4, false, false},
    {35, Qam4Layout::kStandard, 4, kAllPsi, true, 0, false, false},
    {38, Qam4Layout::kDvbt, 3, kAllPsi, true, 0, false, false},
    {102, Qam4Layout::kModules, 4, kAllPsi, true, 0, false, false},
};

const char* const kPsiNames[] = {"pat", "sdt", "nit", "pmt", "cat"};
const char* const kPsiLabels[] = {"PAT", "SDT", "NIT", "PMT", "CAT"};

// The fields of one RF sub-block at base; enable bit in the byte at enableAt.
void AddRfIds(FieldTable& t, int rf, int base) {
    t.push_back(fields::Decimal(Qam4Key("ts", rf), "TS ID:", base + 6, Wire::kU16LE));
    t.push_back(fields::Decimal(Qam4Key("net", rf), "NET. ID:", base + 8, Wire::kU16LE));
}
void AddRfFrequency(FieldTable& t, int rf, int base) {
    FieldDef f = QamFrequencyField(base);
    f.key = Qam4Key("freq", rf);
    f.label = "Frequency(MHz):";
    t.push_back(f);
}
void AddRfRest(FieldTable& t, int rf, int base, int enableAt) {
    FieldDef att = QamAttField(base);
    att.key = Qam4Key("att", rf);
    t.push_back(att);
    char label[8];
    std::snprintf(label, sizeof label, "RF-%d", rf);
    t.push_back(fields::Flag(Qam4Key("rf", rf), label, enableAt, 1u << (rf - 1)));
    for (int b = 0; b < 5; ++b)
        t.push_back(fields::Flag(Qam4Key(kPsiNames[b], rf), kPsiLabels[b], base + 5, 1u << b));
}

// Symbol rate, constellation, power and spacing: the first bytes of the record and of each module.
void AddSharedRadio(FieldTable& t) {
    FieldDef symbol = QamSymbolRateField(0);
    symbol.offset = 0;
    t.push_back(symbol);
    FieldDef constellation = QamConstellationField(0, FiveConstellations());
    constellation.offset = 2;
    t.push_back(constellation);
    // The unit label beside the field reads "db(80-110)": a power outside it is refused, not sent.
    FieldDef power = fields::Decimal("power", "Power:", 3, Wire::kU8);
    power.min = kQam4MinPowerDb;
    power.max = kQam4MaxPowerDb;
    t.push_back(power);
    t.push_back(fields::Decimal("spacing", "Interval Freq.", 4, Wire::kU8));
}

std::string Mbps(uint32_t kbps) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", kbps / 1000, kbps % 1000);
    return text;
}

}  // namespace

std::string Qam4Key(const char* name, int rf) {
    return std::string(name) + std::to_string(rf);
}

const Qam4Variant& Qam4VariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& Qam4StandardTable() {
    static const FieldTable table = [] {
        FieldTable t;
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfIds(t, rf, 6 + 70 * (rf - 1));
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfFrequency(t, rf, 6 + 70 * (rf - 1));
        AddSharedRadio(t);
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfRest(t, rf, 6 + 70 * (rf - 1), 5);
        t.push_back(fields::ListData("mux", "MUX", 286, {{"Close", 0}, {"Enable", 1}}));
        t.back().nonZeroIsOn = true;
        t.push_back(fields::ListData("scrambler", "Scrambler", 287, {{"Close", 0}, {"Enable", 1}}));
        t.back().nonZeroIsOn = true;
        return t;
    }();
    return table;
}

const FieldTable& Qam4DvbtTable() {
    static const FieldTable table = [] {
        FieldTable t;
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfIds(t, rf, 14 + 70 * (rf - 1));
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfFrequency(t, rf, 14 + 70 * (rf - 1));
        t.push_back(fields::ListData("constellation", "Constellation:", 3,
                                     {{"QPSK", 0}, {"16QAM", 1}, {"64QAM", 2}}));
        t.push_back(fields::ListData("guard", "Guard Interval:", 4,
                                     {{"1/32", 0}, {"1/16", 1}, {"1/8", 2}, {"1/4", 3}}));
        t.push_back(fields::ListData("mode", "Transmission Mode:", 9, {{"2K", 0}, {"8K", 1}}));
        t.push_back(fields::ListData("bandwidth", "Bandwidth:", 11, {{"8M", 0}, {"7M", 1}, {"6M", 2}}));
        t.push_back(fields::ListData("fec", "FEC:", 12,
                                     {{"1/2", 0}, {"2/3", 1}, {"3/4", 2}, {"5/6", 3}, {"7/8", 4}}));
        t.push_back(fields::Decimal("power", "Power:", 1, Wire::kU16LE));
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfRest(t, rf, 14 + 70 * (rf - 1), 0);
        return t;
    }();
    return table;
}

const FieldTable& Qam4ModuleTable() {
    static const FieldTable table = [] {
        FieldTable t;
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfIds(t, rf, 6 + 26 * (rf - 1));
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfFrequency(t, rf, 6 + 26 * (rf - 1));
        AddSharedRadio(t);
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            AddRfRest(t, rf, 6 + 26 * (rf - 1), 5);
        return t;
    }();
    return table;
}

Qam4Logic::Qam4Logic(int pageParam)
    : m_variant(Qam4VariantOf(pageParam)),
      m_record(m_variant.layout == Qam4Layout::kDvbt ? kQam4DvbtSize : kQam4RecordSize),
      m_modules{ParamBlock(kQam4ModuleSize), ParamBlock(kQam4ModuleSize), ParamBlock(kQam4ModuleSize),
                ParamBlock(kQam4ModuleSize)} {
    m_rates.fill("0.000");
    m_min.fill("0");
    m_max.fill("0");
}

const FieldTable& Qam4Logic::Table() const {
    switch (m_variant.layout) {
        case Qam4Layout::kDvbt:
            return Qam4DvbtTable();
        case Qam4Layout::kModules:
            return Qam4ModuleTable();
        default:
            return Qam4StandardTable();
    }
}

const ParamBlock& Qam4Logic::Block() const {
    return m_variant.layout == Qam4Layout::kModules ? m_modules[size_t(m_module)] : m_record;
}

ParamBlock& Qam4Logic::MutableBlock() {
    return m_variant.layout == Qam4Layout::kModules ? m_modules[size_t(m_module)] : m_record;
}

std::array<std::string, 3> Qam4Logic::SpreadFrequencies(const std::string& rf1, int spacing) {
    const int64_t base = ParseFirstNumber(rf1.substr(0, rf1.find_first_not_of("0123456789")));
    std::array<std::string, 3> out;
    for (int k = 1; k <= 3; ++k)
        out[size_t(k - 1)] = std::to_string(base + int64_t(k) * spacing);
    return out;
}

PageStep Qam4Logic::Get(std::optional<int>) {
    m_sampled.fill(false);
    std::vector<uint8_t> payload;
    if (m_variant.layout == Qam4Layout::kModules)
        payload.assign(8, 0);
    return Request(0x33, std::move(payload), PageStep::Wait::kBeginShort);
}

bool Qam4Logic::CollectForm(const FormInputs& inputs, PageStep* refused) {
    const FieldTable& t = Table();
    m_failedField = -1;
    // The form's own number fields first (the identifiers), then the spread of the four frequencies.
    std::vector<std::optional<FieldInput>> ids(inputs.size()), rest = inputs;
    for (size_t i = 0; i < t.size() && i < inputs.size(); ++i)
        if (t[i].key.rfind("ts", 0) == 0 || t[i].key.rfind("net", 0) == 0) {
            ids[i] = inputs[i];
            rest[i].reset();
        }
    CollectResult r = CollectFields(t, ids, MutableBlock());
    if (r.ok && m_variant.layout != Qam4Layout::kDvbt) {
        int low = INT32_MAX, high = INT32_MIN;
        for (int rf = 1; rf <= kQam4Rfs; ++rf) {
            const int i = FindField(t, Qam4Key("freq", rf));
            const std::string text =
                inputs[size_t(i)] ? inputs[size_t(i)]->text : ShowField(t[size_t(i)], Block()).text;
            const int mhz = ParseFirstNumber(text.substr(0, text.find('.')));
            low = std::min(low, mhz);
            high = std::max(high, mhz);
        }
        if (high - low > kQam4MaxSpreadMhz) {
            char text[96];
            std::snprintf(text, sizeof text, "Error:%d-%d=%d > %d;Can not set !!!", high, low, high - low,
                          kQam4MaxSpreadMhz);
            *refused = PageStep::Message(text);
            return false;
        }
    }
    if (r.ok)
        r = CollectFields(t, rest, MutableBlock());
    if (!r.ok) {
        m_failedField = r.field;
        *refused = PageStep::Message(r.message);
        return false;
    }
    return true;
}

PageStep Qam4Logic::Set(const FormInputs& inputs, std::optional<int>) {
    if (m_variant.layout == Qam4Layout::kModules && !m_replied)
        return PageStep::Message("Device offline");
    PageStep refused;
    if (!CollectForm(inputs, &refused))
        return refused;
    // The "MUX" and "Scrambler" lists show any non-zero byte as "Enable": they send what they show.
    StoreOnOffAsShown(Table(), inputs, MutableBlock());
    std::vector<uint8_t> payload;
    if (m_variant.layout == Qam4Layout::kModules) {
        payload.assign(kQam4ModulesAt, 0);
        for (const ParamBlock& m : m_modules)
            payload.insert(payload.end(), m.Bytes().begin(), m.Bytes().end());
    } else {
        payload = m_record.Bytes();
    }
    return Request(0x34, std::move(payload), PageStep::Wait::kBeginShort);
}

bool Qam4Logic::SelectModule(int module, const FormInputs& inputs, PageStep* step) {
    if (module < 0 || module >= m_moduleCount || module == m_module)
        return false;
    if (!CollectForm(inputs, step))
        return false;  // the operator stays on the module with the refused field
    m_module = module;
    m_min.fill("0");
    m_max.fill("0");
    return true;
}

void Qam4Logic::ShowRates(const ByteReader& r, size_t first) {
    for (int k = 0; k < kQam4Rfs; ++k) {
        uint32_t value = 0;
        if (!r.U32LE(first + 4 * size_t(k), &value))
            return;
        m_rates[size_t(k)] = Mbps(value);
        if (!m_sampled[size_t(k)] || value > uint32_t(ParseThousandths(m_max[size_t(k)])))
            m_max[size_t(k)] = m_rates[size_t(k)];
        if (!m_sampled[size_t(k)] || value < uint32_t(ParseThousandths(m_min[size_t(k)]))) {
            m_min[size_t(k)] = m_rates[size_t(k)];
            m_sampled[size_t(k)] = true;
        }
    }
}

PageStep Qam4Logic::HandleReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    if (reply.Command() == 0x40) {
        if (m_variant.layout == Qam4Layout::kModules) {
            ShowRates(r, 1 + 16 * size_t(m_module));
        } else {
            r.U8(0, &m_locks);
            ShowRates(r, 1);
        }
        PageStep step;
        step.refresh = kRefreshStatus;
        return step;
    }
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() == 0x34)
        return PageStep::End(PageStep::kRefreshNone);
    m_replied = true;
    PageStep step = PageStep::End();
    step.sendVersion = true;
    if (m_variant.layout == Qam4Layout::kModules) {
        uint8_t count = 0;
        if (!r.U8(1, &count) || count < 1 || count > kQam4Modules) {
            step.messages.push_back("Module Error");
            return step;
        }
        // Only a whole reply is taken: a short one ends the wait and leaves modules and count as they were.
        if (!r.Has(kQam4ModulesAt, size_t(kQam4ModuleSize) * kQam4Modules)) {
            step.refresh = PageStep::kRefreshNone;
            return step;
        }
        m_moduleCount = count;
        m_module = std::min(m_module, m_moduleCount - 1);
        for (int m = 0; m < kQam4Modules; ++m)
            m_modules[size_t(m)].Load(r.Sub(kQam4ModulesAt + size_t(kQam4ModuleSize * m), kQam4ModuleSize));
        step.refresh |= kRefreshModules;
    } else {
        // Only a whole record is taken: a short reply ends the wait and changes nothing.
        if (r.Size() < m_record.Size()) {
            step.refresh = PageStep::kRefreshNone;
            return step;
        }
        m_record.Load(r);
    }
    return step;
}

}  // namespace nms
