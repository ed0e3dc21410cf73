#include "pages/modulator/dvbt_logic.h"

#include <cstdio>

#include "pagebase/text_conversion.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr DvbtVariant kVariants[] = {
    {0, DvbtLayout::kDtmb, false},
    {24, DvbtLayout::kDvbt, false},
    {25, DvbtLayout::kDtmb, true},
    {97, DvbtLayout::kDvbS2, false},
};

constexpr uint8_t kInsertionBits = 0x1f;  // PAT, SDT, NIT, PMT, CAT

FieldDef Frequency(const char* key, const char* label, int offset) {
    FieldDef f = QamFrequencyField(offset);
    f.key = key;
    f.label = label;
    return f;
}

FieldDef Power(int offset) {
    FieldDef f;
    f.key = "power";
    f.label = "Power:";
    f.offset = offset;
    f.wire = Wire::kU16LE;
    f.message = kFrequencyOverMaximum;
    // The unit label beside the field reads "db(80-110)": a typed power outside it is refused.
    f.min = kDvbtMinPowerTenths;
    f.max = kDvbtMaxPowerTenths;
    f.rangeMessage = "Please enter a number between 80 and 110.";
    f.parse = ParseTenthsOfDb;
    f.format = FormatTenthsOfDb;
    return f;
}

// The form's number fields come first (the form takes them before the block is filled), then the block.
void AddInsertion(FieldTable& t, int bitsAt) {
    const char* keys[] = {"pat", "sdt", "nit", "pmt", "cat"};
    const char* labels[] = {"Insert PAT", "Insert SDT", "Insert NIT", "Insert PMT", "Insert CAT"};
    for (int b = 0; b < 5; ++b) {
        FieldDef f;
        f.key = keys[b];
        f.label = labels[b];
        f.offset = bitsAt;
        f.mask = 1u << b;
        f.control = Control::kCheck;
        f.codec = Codec::kFlag;
        t.push_back(f);
    }
}

FieldTable DtmbOrDvbt(bool dvbt) {
    FieldTable t;
    t.push_back(fields::Decimal("port", "IP Insert:", 18, Wire::kU16LE));
    t.push_back(fields::Decimal("tsId", "TS ID:", 20, Wire::kU16LE));
    t.push_back(fields::Decimal("netId", "NET. ID:", 22, Wire::kU16LE));
    t.push_back(Frequency("freq", "Output Freq.:", 0));
    t.push_back(Frequency("inputFreq", "Input Frequency:", 25));
    t.push_back(Power(5));
    t.push_back(fields::List("enable", "Modulate Enable", 4, {"Close", "Open"}));
    if (dvbt) {
        t.push_back(fields::List("constellation", "Constellation:", 7, {"QPSK", "16QAM", "64QAM"}));
        t.push_back(fields::List("guard", "Guard Interval:", 8, {"1/32", "1/16", "1/8", "1/4"}));
        t.push_back(fields::List("test", "Test Mode:", 9, {"Close", "Open"}));
        t.push_back(fields::List("transmode", "Transmode:", 13, {"2K", "8K"}));
        t.push_back(fields::List("bandwidth", "Bandwith:", 15, {"8M", "7M", "6M", "4M", "2M"}));
        t.push_back(fields::List("fec", "FEC:", 16, {"1/2", "2/3", "3/4", "5/6", "7/8"}));
    } else {
        t.push_back(fields::List("constellation", "Constellation:", 7,
                                 {"4QAM-NR,LDPC0.8", "4QAM,LDPC0.4", "4QAM,LDPC0.6", "4QAM,LDPC0.8",
                                  "16QAM,LDPC0.4", "16QAM,LDPC0.6", "16QAM,LDPC0.8", "32QAM,LDPC0.8",
                                  "64QAM,LDPC0.4", "64QAM,LDPC0.6", "64QAM,LDPC0.8"}));
        t.push_back(
            fields::List("frame", "Frame Mode:", 8,
                         {"420 Fixed", "595 Fixed", "945 Fixed", "420 Variational", "945 Variational"}));
        t.push_back(fields::List("test", "Test Mode:", 9, {"OFF", "ON"}));
        t.push_back(fields::List("inverse", "Inverse:", 12, {"Close", "Open"}));
        t.push_back(fields::List("interleave", "Interleav:", 13, {"240", "720"}));
        t.push_back(fields::List("pilot", "Single-Carrier Pilot:", 14, {"Non-Frequency", "Frequency"}));
        t.push_back(fields::List("carrier", "Carrier Mode:", 15, {"Single-carrier", "Multi-carrier"}));
        t.push_back(fields::List("network", "Single Freq.:", 16, {"MFN", "SFN"}));
    }
    AddInsertion(t, 17);
    return t;
}

}  // namespace

const DvbtVariant& DvbtVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& DvbS2Table() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(fields::Decimal("port", "IP Insert:", 18, Wire::kU16LE));
        t.push_back(fields::Decimal("tsId", "TS ID:", 20, Wire::kU16LE));
        t.push_back(fields::Decimal("netId", "NET. ID:", 22, Wire::kU16LE));
        t.push_back(Frequency("freq", "Output Freq.:", 0));
        FieldDef symbol = Frequency("symbol", "Symbol:", 10);
        symbol.wire = Wire::kU16LE;
        t.push_back(symbol);
        t.push_back(Power(5));
        t.push_back(fields::List("enable", "Modulator:", 4, {"Close", "Open"}));
        t.push_back(fields::List("standard", "Modulation Mode", 9, {"DVB-S", "DVB-S2"}));
        t.push_back(fields::List("constellation", "Constellation:", 7, {"QPSK", "8PSK"}));
        FieldDef fec = fields::List("fec", "FEC Rate:", 13, {});  // the page fills it by the FEC list rule
        t.push_back(fec);
        t.push_back(fields::List("inverse", "Inverse Freq.", 12, {"No", "Yes"}));
        t.push_back(fields::List("pilot", "Pilot Insert", 14, {"Not Insert", "Insert"}));
        t.push_back(fields::List("roll", "Roll:", 15, {"0.35", "0.25", "0.2"}));
        t.push_back(fields::List("interface", "Input Interface:", 8, {"ASI IN", "IP IN"}));
        AddInsertion(t, 17);
        return t;
    }();
    return table;
}

const FieldTable& DtmbTable() {
    static const FieldTable table = DtmbOrDvbt(false);
    return table;
}

const FieldTable& DvbtTable() {
    static const FieldTable table = DtmbOrDvbt(true);
    return table;
}

const FieldTable& DvbT2Table() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(fields::Decimal("port", "IP Insert:", 20, Wire::kU16LE));
        t.push_back(fields::Decimal("tsId", "TS ID:", 22, Wire::kU16LE));
        t.push_back(fields::Decimal("netId", "NET. ID:", 24, Wire::kU16LE));
        t.push_back(Frequency("freq", "Frequency:", 0));
        t.push_back(Power(5));
        t.push_back(fields::List("enable", "Channel", 4, {"Close", "Open"}));
        t.push_back(fields::List("inputMode", "Input Mode", 7, {"Normal", "Short"}));
        t.push_back(fields::List("fecFrame", "FEC Rate:", 8, {"Short 16200", "Normal 64800"}));
        t.push_back(fields::List("rotation", "Star Rotation:", 9, {"Close", "Open"}));
        t.push_back(fields::List("modulation", "Modulation Mode", 12, {"QPSK", "16QAM", "64QAM", "256QAM"}));
        t.push_back(
            fields::List("codeRate", "Code Rate:", 13, {"C1_2", "C3_5", "C2_3", "C3_4", "C4_5", "C5_6"}));
        t.push_back(fields::List("guard", "Guard Interval", 14,
                                 {"1_32", "1_16", "1_8", "1_4", "1_128", "19_128", "19_256"}));
        t.push_back(fields::List("bandwidth", "Bandwith:", 15,
                                 {"1_7_MHZ ", "5_0_MHZ", "6_0_MHZ", "7_0_MHZ", "8_0_MHZ", "10_0_MHZ"}));
        t.push_back(fields::List("pilot", "Pilot Mode", 16,
                                 {"PP1", "PP2", "PP3", "PP4", "PP5", "PP6", "PP7", "PP8"}));
        t.push_back(fields::List("fft", "FFT Mode", 17, {"2K", "8K", "4K", "1K"}));
        t.push_back(fields::List("l1", "L1 Post", 18, {"BPSK ", "QPSK\t", "16QAM", "64QAM"}));
        AddInsertion(t, 19);
        return t;
    }();
    return table;
}

const FieldTable& DvbtTableOf(DvbtLayout layout) {
    switch (layout) {
        case DvbtLayout::kDvbS2:
            return DvbS2Table();
        case DvbtLayout::kDvbt:
            return DvbtTable();
        case DvbtLayout::kDvbT2:
            return DvbT2Table();
        default:
            return DtmbTable();
    }
}

const std::vector<std::string>& S2FecList(int standard, int constellation) {
    static const std::vector<std::string> dvbs = {"1/2", "2/3", "3/4", "5/6", "7/8"};
    static const std::vector<std::string> qpsk = {"1/2", "3/5", "2/3", "3/4", "4/5", "5/6", "8/9", "9/10"};
    static const std::vector<std::string> psk8 = {"3/5", "2/3", "3/4", "5/6", "8/9", "9/10"};
    if (standard == 0)
        return dvbs;
    return constellation == 1 ? psk8 : qpsk;
}

int S2FecIndexAfter(int standard, int constellation, int index) {
    if (standard == 0)
        return index <= 4 ? index : 3;
    if (constellation == 1)
        return index <= 5 ? index : 3;
    return index <= 7 ? index : 5;
}

FieldResult ParseTenthsOfDb(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    int32_t thousandths = 0;
    if (ParseDecimalTimes1000Checked(input.text, &thousandths) != 1 || thousandths < 0) {
        r.ok = false;
        r.message = field.message;
        return r;
    }
    r.value = thousandths / 100;
    if (r.value < field.Min() || r.value > field.Max()) {
        r.ok = false;
        r.message = field.rangeMessage.empty() ? field.message : field.rangeMessage;
    }
    return r;
}

std::string FormatTenthsOfDb(const FieldDef&, int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", int(value / 10), int(value % 10));
    return text;
}

DvbtModLogic::DvbtModLogic(int pageParam) : m_variant(DvbtVariantOf(pageParam)), m_layout(m_variant.layout) {}

const ParamBlock& DvbtModLogic::Block() const {
    return const_cast<DvbtModLogic*>(this)->MutableBlock();
}

ParamBlock& DvbtModLogic::MutableBlock() {
    switch (m_layout) {
        case DvbtLayout::kDvbS2:
            return m_s2;
        case DvbtLayout::kDvbT2:
            return m_t2;
        default:
            return m_dtmb;
    }
}

PageStep DvbtModLogic::Get(std::optional<int>) {
    return Request(0x33, {});
}

PageStep DvbtModLogic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Collect(Table(), inputs, MutableBlock(), &refused))
        return refused;
    // The DTMB, DVB-T and DVB-T2 blocks carry only the five insertion bits in their insertion byte: the
    // three above them go out as 0. The DVB-S/S2 block sends them back as read.
    if (m_layout != DvbtLayout::kDvbS2) {
        const int bits = FindField(Table(), "pat");
        MutableBlock().Bytes()[size_t(Table()[size_t(bits)].offset)] &= kInsertionBits;
    }
    return Request(0x34, MutableBlock().Bytes());
}

PageStep DvbtModLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() == 0x34)
        return PageStep::End(PageStep::kRefreshNone);
    PageStep step = PageStep::End();
    step.sendVersion = true;
    // Only a whole block is taken: a shorter reply (none at all included) ends the wait and changes nothing.
    if (reply.PayloadLength() < kDvbtBlockSize) {
        step.refresh = PageStep::kRefreshNone;
        return step;
    }
    // The DVB-T modulator says in its reply whether it carries the DVB-T2 block; once it did, the page stays
    // so.
    if (m_variant.layout == DvbtLayout::kDvbt && reply.B() == kT2Marker)
        m_layout = DvbtLayout::kDvbT2;
    MutableBlock().Load(reply.Reader());
    return step;
}

}  // namespace nms
