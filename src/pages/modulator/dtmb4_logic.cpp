#include "pages/modulator/dtmb4_logic.h"

#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"
#include "pages/modulator/dvbt_logic.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr unsigned kAllPsi = 0x1f;
constexpr Dtmb4Variant kVariants[] = {
    {0, 1, kAllPsi, true, true, false, 1, 0x3f, false, "db(75-100)", 75, 100},
    {99, 4, 0x04, false, false, true, 0, 0x00, false, "db(70-100)", 70, 100},
    // The four-channel modulator has no lamp for channel 5; the six-channel one keeps only channel 6's.
    {101, 4, 0x0f, false, true, true, 4, 0x2f, true, "db(75-100)", 75, 100},
    {103, 4, 0x0f, false, true, true, 4, 0x20, true, "db(75-100)", 75, 100},
};

constexpr const char* kFrequencyCharacters = "RF Frequency value should be '0-9' or '.'";
const char* const kPsi[] = {"pat", "sdt", "nit", "pmt", "cat"};
const char* const kPsiLabels[] = {"PAT", "SDT", "NIT", "PMT", "CAT"};

FieldResult ParseWholeUnits(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    int32_t thousandths = 0;
    if (ParseDecimalTimes1000Checked(input.text, &thousandths) != 1 || thousandths < 0) {
        r.ok = false;
        r.message = field.message;
        return r;
    }
    r.value = thousandths / 1000;
    if (r.value < field.Min() || r.value > field.Max()) {
        r.ok = false;
        r.message = field.rangeMessage.empty() ? field.message : field.rangeMessage;
    }
    return r;
}

}  // namespace

std::string DtmbKey(const char* name, int channel) {
    return std::string(name) + std::to_string(channel);
}

std::vector<std::string> DtmbChannelKeys(int k) {
    std::vector<std::string> keys = {DtmbKey("enable", k), DtmbKey("att", k)};
    for (const char* p : kPsi)
        keys.push_back(DtmbKey(p, k));
    keys.push_back(DtmbKey("ts", k));
    keys.push_back(DtmbKey("net", k));
    return keys;
}

const Dtmb4Variant& Dtmb4VariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& DtmbMultiTable() {
    static const FieldTable table = [] {
        FieldTable t;
        FieldDef power;
        power.key = "power";
        power.label = "Power:";
        power.offset = 2;
        power.wire = Wire::kU16LE;
        power.message = kFrequencyOverMaximum;
        power.parse = ParseTenthsOfDb;
        power.format = FormatTenthsOfDb;
        t.push_back(power);
        FieldDef whole = power;
        whole.key = "powerWhole";
        whole.parse = ParseWholeUnits;
        whole.format = nullptr;
        t.push_back(whole);
        FieldDef mode = DtmbTable()[size_t(FindField(DtmbTable(), "constellation"))];
        mode.key = "mode";
        mode.offset = 4;
        t.push_back(mode);
        t.push_back(
            fields::List("frame", "Frame Mode:", 5,
                         {"420 Fixed", "595 Fixed", "945 Fixed", "420 Variational", "945 Variational"}));
        t.push_back(fields::List("inverse", "Inverse:", 7, {"Close", "Open"}));
        t.push_back(fields::List("interleave", "Interleav:", 8, {"240", "720"}));
        t.push_back(fields::List("pilot", "Carrier Pilot:", 9, {"Close", "Open"}));
        t.push_back(fields::List("carrier", "Carrier Mode:", 10, {"Single-carrier", "Multi-carrier"}));
        t.push_back(fields::List("network", "Single Freq.:", 11, {"MFN", "SFN"}));
        // The six frequencies are checked in channel order before anything of a channel.
        for (int k = 1; k <= kDtmbChannels; ++k) {
            FieldDef f = QamFrequencyField(45 + 24 * (k - 1));
            f.key = DtmbKey("freq", k);
            f.label = "Frequency:";
            f.message = kFrequencyCharacters;
            t.push_back(f);
        }
        t.push_back(fields::Flag("pidTracking", "PID Tracking", 57, 0));
        for (int k = 1; k <= kDtmbChannels; ++k) {
            const int base = 45 + 24 * (k - 1);
            FieldDef att = QamAttField(base);
            att.key = DtmbKey("att", k);
            t.push_back(att);
            t.push_back(fields::Flag(DtmbKey("enable", k), "Enable", 1, 1u << (k - 1)));
            for (int b = 0; b < 5; ++b)
                t.push_back(fields::Flag(DtmbKey(kPsi[b], k), kPsiLabels[b], base + 5, 1u << b));
            FieldDef ts;
            ts.key = DtmbKey("ts", k);
            ts.label = "TS ID:0X";
            ts.offset = base + 6;
            ts.wire = Wire::kU16LE;
            t.push_back(ts);
            FieldDef net = ts;
            net.key = DtmbKey("net", k);
            net.label = "NET. ID:0X";
            net.offset = base + 8;
            t.push_back(net);
        }
        return t;
    }();
    return table;
}

Dtmb4Logic::Dtmb4Logic(int pageParam)
    : m_variant(Dtmb4VariantOf(pageParam)),
      m_block(kDtmbMultiBlockSize),
      m_tabs(m_variant.tabs),
      m_table(DtmbMultiTable()) {
    m_rates.fill("0.000");
    // The power unit label names the range a typed power must keep to (whole dB or tenths).
    char message[64];
    std::snprintf(message, sizeof message, "Please enter a number between %d and %d.", m_variant.minPowerDb,
                  m_variant.maxPowerDb);
    for (const char* key : {"power", "powerWhole"}) {
        FieldDef& f = m_table[size_t(FindField(m_table, key))];
        const int scale = f.key == "power" ? 10 : 1;
        f.min = m_variant.minPowerDb * scale;
        f.max = m_variant.maxPowerDb * scale;
        f.rangeMessage = message;
    }
}

PageStep Dtmb4Logic::Get(std::optional<int>) {
    return Request(0x33, {0}, PageStep::Wait::kBeginShort);
}

bool Dtmb4Logic::Store(const FormInputs& inputs, PageStep* refused) {
    return Collect(m_table, inputs, m_block, refused);
}

PageStep Dtmb4Logic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Store(inputs, &refused))
        return refused;
    std::vector<uint8_t> payload = m_block.Bytes();
    payload.push_back(0);
    return Request(0x34, std::move(payload), PageStep::Wait::kBeginShort);
}

PageStep Dtmb4Logic::HandleReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    if (reply.Command() == 0x40) {
        if (!r.U8(0, &m_locks))
            return {};
        char text[32];
        const int rates = m_variant.rates == 4 ? 4 : (m_block.Bytes()[0] == 1 ? 1 : 0);
        for (int k = 0; k < rates; ++k) {
            uint32_t v = 0;
            if (!r.U32LE(1 + 4 * size_t(k), &v))
                break;
            std::snprintf(text, sizeof text, "%u.%03u", v / 1000, v % 1000);
            m_rates[size_t(k)] = text;
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
    PageStep step = PageStep::End(PageStep::kRefreshAll);
    step.sendVersion = true;
    // The block comes only whole; a shorter reply just ends the wait.
    if (r.Has(2, kDtmbMultiBlockSize)) {
        m_block.Load(r.Sub(2, kDtmbMultiBlockSize));
        // A count of 1 only hides the tab control (the tabs, the channel in front and the frequency fields
        // stay); 6 brings six tabs with the first in front; any other count leaves the tabs as they are.
        const uint8_t count = r.U8Or(1);
        if (count == 1) {
            m_tabsShown = false;
            step.refresh |= kRefreshTabControl;
        } else if (count == kDtmbChannels) {
            m_tabs = kDtmbChannels;
            m_tabsShown = true;
            step.refresh |= kRefreshChannels;
        }
    }
    return step;
}

}  // namespace nms
