#include "pages/encoder/encoder_output_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {

const char* const kTsOnidMessage = "TS and Original Network ID should be 0-9,a-f or A-F!";
const char* const kOutputBitrateMessage = "Output bitrate error!";
const char* const kWrongFrequencyMessage = "wrong frequency !";
const char* const kMacMessage = "MAC error,please input correct MAC address!";

namespace {

using K = EncoderOutputKind;

constexpr EncoderOutputVariant kVariants[] = {
    {2, K::kPlain}, {80, K::kMagnum4}, {81, K::kMagnum8}, {82, K::kCount82}, {87, K::kCount87},
    {88, K::kRf88}, {89, K::kDual89},  {24, K::kRf24},    {85, K::kRf85},
};

constexpr int kQ = kEncoderImageQam;
constexpr int kR = kEncoderImageRf;

std::string Thousandths(uint32_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", v / 1000, v % 1000);
    return text;
}

FieldResult Refused(const std::string& message) {
    FieldResult r;
    r.ok = false;
    r.message = message;
    return r;
}

// The identifiers: hexadecimal text of at most four digits (empty is 0).
FieldResult ParseId(const FieldDef& f, const FieldInput& in) {
    if (!IsHexText(in.text) || in.text.size() > 4)
        return Refused(f.message);
    FieldResult r;
    r.value = HexTextToUInt32(in.text);
    return r;
}

bool DigitsAndOnePoint(const std::string& text) {
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    return points <= 1;
}

// Power and the DVB-C attenuation of the counted modulator: dB with one decimal, carried in tenths.
FieldResult ParseTenths(const FieldDef& f, const FieldInput& in) {
    int32_t thousandths = 0;
    if (!DigitsAndOnePoint(in.text) || ParseDecimalTimes1000Checked(in.text, &thousandths) != 1 ||
        thousandths / 100 > f.Max())
        return Refused(f.message);
    FieldResult r;
    r.value = thousandths / 100;
    return r;
}

std::string FormatTenths(const FieldDef&, int64_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", int(v / 10), int(v % 10));
    return text;
}

// The MAC of the IP output: six hexadecimal pairs at 0, 3, .. 15, whatever stands between them. The
// device takes whatever the operator typed: a character that is missing counts as "0", one that is not a
// hexadecimal digit as the digit 0.
FieldResult ParseMacPairs(const FieldDef&, const FieldInput& in) {
    const std::string& t = in.text;
    auto at = [&t](size_t i) { return i < t.size() ? t[i] : '0'; };
    FieldResult r;
    for (size_t i = 0; i < 6; ++i)
        r.bytes.push_back(HexPairToByte(at(3 * i), at(3 * i + 1)));
    return r;
}

using fields::Decimal;

FieldDef Check(std::string key, std::string label, int offset, uint32_t mask) {
    return fields::Flag(std::move(key), std::move(label), offset, mask);
}

FieldDef List(const char* key, const char* label, int offset, std::vector<Choice> choices) {
    return fields::ListData(key, label, offset, std::move(choices));
}

std::vector<Choice> Indexed(std::initializer_list<const char*> texts) {
    std::vector<Choice> out;
    uint32_t i = 0;
    for (const char* t : texts)
        out.push_back({t, i++});
    return out;
}

FieldDef Id(const char* key, const char* label, int offset) {
    FieldDef f = Decimal(key, label, offset, Wire::kU16LE);
    f.codec = Codec::kHex;
    f.message = kTsOnidMessage;
    f.parse = ParseId;
    return f;
}

FieldDef Frequency(const char* key, const char* label, int offset, const char* message) {
    FieldDef f = Decimal(key, label, offset, Wire::kU32LE);
    f.codec = Codec::kKhzAsMhz;
    f.message = message;
    return f;
}

FieldDef Tenths(const char* key, const char* label, int offset) {
    FieldDef f = Decimal(key, label, offset, Wire::kU16LE);
    f.message = IntegerRangeMessage(0, 6553);
    f.parse = ParseTenths;
    f.format = FormatTenths;
    return f;
}

FieldDef SymbolRate(const char* key, int offset) {
    FieldDef f = Decimal(key, "Symbol:", offset, Wire::kU16LE);
    f.codec = Codec::kSymbolRate;
    f.message = kSymbolRateCharacters;
    return f;
}

FieldDef HalfStep(const char* key, const char* label, int offset) {
    FieldDef f = Decimal(key, label, offset);
    f.codec = Codec::kHalfStepDb;
    f.message = kAttCharacters;
    f.stepMessage = kAttStep;
    return f;
}

const std::vector<Choice> kDvbtConstellations = Indexed({"QPSK", "16QAM", "64QAM"});
const std::vector<Choice> kFec = Indexed({"1/2", "2/3", "3/4", "5/6", "7/8"});
const std::vector<Choice> kGuard = Indexed({"1/32", "1/16", "1/8", "1/4"});
const std::vector<Choice> kBandwidth = Indexed({"8M", "7M", "6M"});
const std::vector<Choice> kTransmode = Indexed({"2K", "8K"});
const std::vector<Choice> kCloseOpen = Indexed({"Close", "Open"});
const std::vector<Choice> kDtmbModes = Indexed(
    {"4QAM-NR,LDPC0.8", "4QAM,LDPC0.4", "4QAM,LDPC0.6", "4QAM,LDPC0.8", "16QAM,LDPC0.4", "16QAM,LDPC0.6",
     "16QAM,LDPC0.8", "32QAM,LDPC0.8", "64QAM,LDPC0.4", "64QAM,LDPC0.6", "64QAM,LDPC0.8"});
const std::vector<Choice> kCarrier = Indexed({"Single-carrier", "Multi-carrier"});
const std::vector<Choice> kInterleave = Indexed({"240", "720"});
const std::vector<Choice> kFrame =
    Indexed({"420 Fixed", "595 Fixed", "945 Fixed", "420 Variational", "945 Variational"});
const std::vector<Choice> kSingleFreq = Indexed({"MFN", "SFN"});
const std::vector<Choice> kPilot = Indexed({"Non-Frequency", "Frequency"});

FieldTable BuildTable() {
    FieldTable t;
    // The identifiers are checked first, then the boxes, the bitrate and the RF fields of the model.
    t.push_back(Id("tsId", "TS ID:0X", 2));
    t.push_back(Id("netId", "NET. ID:0X", 4));
    t.push_back(Id("x.tsId1", "TS ID-1:0X", kR + 38));
    t.push_back(Id("x.netId1", "NET. ID-1:0X", kR + 46));
    t.push_back(Check("sdt", "SDT", 0, 0x01));
    t.push_back(Check("nit", "NIT", 0, 0x02));
    t.push_back(Check("cat", "CAT", 0, 0x04));
    for (int n = 1; n <= kEncoderChannels; ++n) {
        char caption[16];
        std::snprintf(caption, sizeof caption, n <= 9 ? "%d MUX" : "%dMUX", n);
        t.push_back(Check("mux" + std::to_string(n), caption, n <= 8 ? 1 : 17, 1u << ((n - 1) % 8)));
    }
    FieldDef bitrate = Decimal("bitrate", "Total Bitrate:", 9, Wire::kU32LE);
    bitrate.codec = Codec::kKbpsAsMbps;
    bitrate.message = kOutputBitrateMessage;
    t.push_back(bitrate);

    // DVB-C of 24 and 85: the QamModBlock.
    FieldDef qAtt = QamAttField(kQ);
    qAtt.key = "q.att";
    qAtt.label = "ATT:";
    t.push_back(qAtt);
    FieldDef qFreq = QamFrequencyField(kQ);
    qFreq.key = "q.freq";
    qFreq.label = "Frequency:";
    t.push_back(qFreq);
    t.push_back(SymbolRate("q.symbol", kQ + 6));
    FieldDef qConst = QamConstellationField(kQ, FiveConstellations());
    qConst.key = "q.constellation";
    qConst.label = "Modulation Mode";
    t.push_back(qConst);
    // The IP output of 85 in DVB-C, in the output block.
    FieldDef ip = Decimal("ip", "IP Address", 18, Wire::kBytes);
    ip.length = 4;
    ip.control = Control::kIpAddress;
    ip.codec = Codec::kDottedIp;
    t.push_back(ip);
    FieldDef port = Decimal("port", "Port:", 22, Wire::kU16BE);
    t.push_back(port);
    FieldDef mac = Decimal("mac", "MAC Adress:", 24, Wire::kBytes);
    mac.length = 6;
    mac.codec = Codec::kMac;
    mac.parse = ParseMacPairs;
    mac.macSeparator = '-';
    t.push_back(mac);

    // DVB-T of 24, 85 and 88.
    t.push_back(List("t.rfOutput", "RF Output:", kR + 4, kCloseOpen));
    t.push_back(List("t.constellation", "Constellation:", kR + 7, kDvbtConstellations));
    t.push_back(List("t.guard", "Guard Interval", kR + 8, kGuard));
    t.push_back(List("t.transmode", "Transmode:", kR + 13, kTransmode));
    t.push_back(List("t.bandwidth", "Bandwith:", kR + 15, kBandwidth));
    t.push_back(List("t.fec", "FEC", kR + 16, kFec));
    t.push_back(Frequency("t.freq", "Frequency:", kR, kFrequencyOverMaximum));
    t.push_back(Tenths("t.power", "Power:", kR + 5));

    // DVB-C of 88.
    t.push_back(List("c.constellation", "Constellation:", kR + 8, FiveConstellations()));
    t.push_back(List("c.bandwidth", "Bandwith:", kR + 11, {{"8M", 8}}));
    t.push_back(Frequency("c.freq", "Frequency:", kR, kFrequencyOverMaximum));
    t.push_back(SymbolRate("c.symbol", kR + 6));
    t.push_back(Tenths("c.att", "ATT(Db):", kR + 4));

    // DTMB of 24 and 88.
    t.push_back(Frequency("d.freq", "Frequency:", kR, kFrequencyOverMaximum));
    t.push_back(Tenths("d.power", "Power:", kR + 5));
    t.push_back(List("d.mode", "Constellation:", kR + 7, kDtmbModes));
    t.push_back(List("d.frame", "Frame Mode:", kR + 8, kFrame));
    t.push_back(List("d.inverse", "Inverse Freq.", kR + 12, kCloseOpen));
    t.push_back(List("d.interleave", "Interleav:", kR + 13, kInterleave));
    t.push_back(List("d.pilot", "Single-Carrier Pilot:", kR + 14, kPilot));
    t.push_back(List("d.carrier", "Carrier Mode:", kR + 15, kCarrier));
    t.push_back(List("d.single", "Single Freq.:", kR + 16, kSingleFreq));

    // The two RF outputs of 89.
    t.push_back(Frequency("x.freq1", "Frequency-1:", kR + 14, kWrongFrequencyMessage));
    t.push_back(HalfStep("x.att1", "ATT-1(Db):", kR + 30));
    t.push_back(Check("x.nit1", "NIT 1", kR + 34, 0x04));
    t.push_back(Check("x.rf1", "RF 1", kR + 2, 0x01));
    t.push_back(Frequency("x.freq2", "Frequency-2:", kR + 18, kWrongFrequencyMessage));
    t.push_back(HalfStep("x.att2", "ATT-2(Db):", kR + 31));
    t.push_back(Id("x.tsId2", "TS ID-2:0X", kR + 40));
    t.push_back(Id("x.netId2", "NET. ID-2:0X", kR + 48));
    t.push_back(Check("x.nit2", "NIT 2", kR + 35, 0x04));
    t.push_back(Check("x.rf2", "RF 2", kR + 2, 0x02));
    t.push_back(List("x.t.constellation", "Constellation:", kR + 3, kDvbtConstellations));
    t.push_back(List("x.t.guard", "Guard Interval", kR + 4, kGuard));
    t.push_back(List("x.t.transmode", "Transmode:", kR + 9, kTransmode));
    t.push_back(List("x.t.bandwidth", "Bandwith:", kR + 11, kBandwidth));
    t.push_back(List("x.t.fec", "FEC", kR + 12, kFec));
    t.push_back(List("x.c.constellation", "Constellation:", kR + 3, FiveConstellations()));
    t.push_back(SymbolRate("x.c.symbol", kR + 6));
    t.push_back(List("x.d.mode", "Constellation:", kR + 3, kDtmbModes));
    t.push_back(List("x.d.inverse", "Inverse Freq.", kR + 6, kCloseOpen));
    t.push_back(List("x.d.carrier", "Carrier Mode:", kR + 9, kCarrier));
    t.push_back(List("x.d.interleave", "Interleav:", kR + 7, kInterleave));
    t.push_back(List("x.d.frame", "Frame Mode:", kR + 4, kFrame));
    t.push_back(List("x.d.pilot", "Single-Carrier Pilot:", kR + 8, kPilot));
    t.push_back(Tenths("x.d.power", "Power:", kR));
    return t;
}

const FieldDef& Def(const char* key) {
    const FieldTable& t = EncoderOutputTable();
    return t[size_t(FindField(t, key))];
}

bool IsRfKind(K k) {
    return k == K::kRf24 || k == K::kRf85 || k == K::kRf88 || k == K::kDual89;
}

// Where the pieces of the image lie in a model's payload.
struct Piece {
    int payload;
    int image;
    int size;
};

}  // namespace

const EncoderOutputVariant& EncoderOutputVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& EncoderOutputTable() {
    static const FieldTable table = BuildTable();
    return table;
}

std::string WorkingTimeText(uint32_t seconds) {
    char text[96];
    std::snprintf(text, sizeof text, "Working:%03uDay%02uHour%02uMin.%02uSec.", (seconds / 86400) % 999,
                  seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string GeneratedMacText(int month, int day, int hour, int minute, int second) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d-%02d-%02d-%02d", 0, month, day, hour, minute, second);
    return text;
}

std::string SecondFrequencyText(const std::string& first, std::optional<EncoderStandard> standard,
                                int bandwidthIndex) {
    int step = 8;
    if (standard == EncoderStandard::kDvbt && bandwidthIndex == 1)
        step = 7;
    else if (standard == EncoderStandard::kDvbt && bandwidthIndex == 2)
        step = 6;
    return std::to_string(int64_t(ParseFirstNumber(first)) + step);
}

EncoderOutputLogic::EncoderOutputLogic() {
    Bind(2, 0);
}

void EncoderOutputLogic::Bind(int pageParam, uint16_t typeCode) {
    m_kind = EncoderOutputVariantOf(pageParam).kind;
    m_type = typeCode;
    m_extremesKnown = false;
    m_status = EncoderStatusDisplay();
    switch (m_kind) {
        case K::kMagnum8:
        case K::kCount82:
        case K::kCount87:
        case K::kRf85:
        case K::kDual89:
            m_channels = 8;
            break;
        case K::kRf88:
            m_channels = 12;
            break;
        default:
            m_channels = 4;
    }
    m_standard = -1;
    if (m_kind == K::kRf24 || m_kind == K::kRf85)
        m_standard = int(EncoderStandard::kDvbt);
    if (m_kind == K::kRf88 || m_kind == K::kDual89)
        m_standard = int(EncoderStandard::kDtmb);
    m_image.Bytes()[kEncoderImageStandard] = uint8_t(std::max(m_standard, 0));
}

std::optional<EncoderStandard> EncoderOutputLogic::Standard() const {
    if (m_standard < 0 || m_standard > 2)
        return std::nullopt;
    if (m_kind == K::kRf85 && m_standard == int(EncoderStandard::kDtmb))
        return EncoderStandard::kDtmb;  // shown, but the model has no DTMB fields
    return EncoderStandard(m_standard);
}

void EncoderOutputLogic::SelectStandard(EncoderStandard standard) {
    m_standard = int(standard);
    if (m_kind == K::kRf24 || m_kind == K::kRf85)
        m_image.Bytes()[kEncoderImageStandard] = uint8_t(standard);
}

EncoderOutputLayout EncoderOutputLogic::Layout() const {
    EncoderOutputLayout l;
    for (int n = 1; n <= kEncoderChannels; ++n)
        l.channelCaption[size_t(n - 1)] = "CH" + std::to_string(n);
    auto showChannels = [&l](int from, int to) {
        for (int n = from; n <= to; ++n)
            l.channel[size_t(n - 1)] = true;
    };
    l.inputCaption = "ASI 1";
    const std::optional<EncoderStandard> standard = Standard();
    switch (m_kind) {
        case K::kPlain:
            showChannels(1, 4);
            l.inputLamp = true;
            break;
        case K::kMagnum4:
            showChannels(1, 4);
            break;
        case K::kMagnum8:
            showChannels(1, 8);
            break;
        case K::kCount82:
            if (m_channels == 4) {
                // Four channels use the places (and bits) of channels 5 to 8 under the captions 1 to 4.
                showChannels(5, 8);
                for (int n = 5; n <= 8; ++n)
                    l.channelCaption[size_t(n - 1)] = "CH" + std::to_string(n - 4);
            } else {
                showChannels(1, m_channels);
            }
            l.inputLamp = m_channels != 12;
            break;
        case K::kCount87:
            showChannels(1, std::min(kEncoderChannels, (m_channels + 3) / 4 * 4));
            l.inputCaption = "ASI IN";
            l.inputLamp = m_channels == 8;
            break;
        case K::kRf88:
            showChannels(1, m_channels);
            l.inputCaption = "ASI IN";
            l.inputLamp = m_channels < 9;
            break;
        case K::kDual89:
            showChannels(1, m_channels);
            break;
        case K::kRf24:
            showChannels(1, 4);
            l.inputLamp = true;
            break;
        case K::kRf85:
            showChannels(1, 8);
            if (standard == EncoderStandard::kDvbc) {
                l.inputLamp = true;
                l.inputCaption = "IP IN";
                l.ipGroup = true;
            }
            break;
    }
    if (IsRfKind(m_kind))
        l.standard = standard;

    auto use = [&l](std::initializer_list<const char*> keys) {
        for (const char* k : keys)
            l.used.push_back(k);
    };
    if (m_kind == K::kDual89)
        use({"x.tsId1", "x.netId1"});
    else
        use({"tsId", "netId"});
    const bool dvbt = standard == EncoderStandard::kDvbt;
    const bool dtmb = standard == EncoderStandard::kDtmb;
    if (!(m_kind == K::kDual89 && (dvbt || dtmb))) {
        use({"sdt", "nit"});
        if (!(dvbt && (m_kind == K::kRf24 || m_kind == K::kRf88)))
            use({"cat"});
    }
    for (int n = 1; n <= kEncoderChannels; ++n)
        if (l.channel[size_t(n - 1)])
            l.used.push_back("mux" + std::to_string(n));
    if (m_kind != K::kRf88 && m_kind != K::kDual89)
        use({"bitrate"});
    if (!standard)
        return l;

    const bool single = m_kind == K::kRf24 || m_kind == K::kRf85 || m_kind == K::kRf88;
    if (single && dvbt)
        use({"t.rfOutput", "t.constellation", "t.guard", "t.transmode", "t.bandwidth", "t.fec", "t.freq",
             "t.power"});
    if ((m_kind == K::kRf24 || m_kind == K::kRf85) && standard == EncoderStandard::kDvbc)
        use({"q.att", "q.freq", "q.symbol", "q.constellation"});
    if (l.ipGroup)
        use({"ip", "port", "mac"});
    if (m_kind == K::kRf88 && standard == EncoderStandard::kDvbc)
        use({"c.constellation", "c.bandwidth", "c.freq", "c.symbol", "c.att"});
    if ((m_kind == K::kRf24 || m_kind == K::kRf88) && dtmb)
        use({"d.freq", "d.power", "d.mode", "d.frame", "d.inverse", "d.interleave", "d.pilot", "d.carrier",
             "d.single"});
    if (m_kind == K::kDual89) {
        use({"x.freq1", "x.att1"});
        if (standard == EncoderStandard::kDvbc) {
            use({"x.freq2", "x.c.constellation", "x.c.symbol"});
        } else {
            use({"x.nit1", "x.rf1"});
            if (m_channels == 8)
                use({"x.freq2", "x.att2", "x.tsId2", "x.netId2", "x.nit2", "x.rf2"});
            if (dvbt)
                use({"x.t.constellation", "x.t.guard", "x.t.transmode", "x.t.bandwidth", "x.t.fec"});
            else
                use({"x.d.mode", "x.d.inverse", "x.d.carrier", "x.d.interleave", "x.d.frame", "x.d.pilot",
                     "x.d.power"});
        }
    }
    return l;
}

PageStep EncoderOutputLogic::Get(std::optional<int>) {
    m_extremesKnown = false;
    return Request(kCmdEncoderOutputGet, std::vector<uint8_t>(8, 0), PageStep::Wait::kBeginShort);
}

int EncoderOutputLogic::SetSize() const {
    switch (m_kind) {
        case K::kCount87:
            return 53;
        case K::kRf88:
            return 108;
        case K::kDual89:
            return 100;
        case K::kRf24:
        case K::kRf85: {
            const uint8_t s = m_image.Bytes()[kEncoderImageStandard];
            return s == 1 ? 69 : (s == 0 || s == 2) ? 101 : 46;
        }
        default:
            return 45;
    }
}

std::vector<uint8_t> EncoderOutputLogic::SetPayload() const {
    std::vector<uint8_t> out(size_t(SetSize()), 0);
    const std::vector<uint8_t>& img = m_image.Bytes();
    auto put = [&](int at, int from, int size) { std::copy_n(img.begin() + from, size, out.begin() + at); };
    switch (m_kind) {
        case K::kCount87:
        case K::kRf88:
            put(8, 0, 45);
            if (m_kind == K::kRf88)
                put(53, kR, kEncoderRfSize);
            break;
        case K::kDual89:
            put(0, 0, 45);
            put(45, kR, kEncoderRfSize);
            break;
        case K::kRf24:
        case K::kRf85:
            put(0, 0, 46);
            if (out.size() == 69)
                put(46, kQ, kEncoderQamSize);
            else if (out.size() == 101)
                put(46, kR, kEncoderRfSize);
            break;
        default:
            put(0, 0, 45);
    }
    return out;
}

PageStep EncoderOutputLogic::Set(const FormInputs& inputs, std::optional<int>) {
    m_warningBox = false;
    const FieldTable& table = EncoderOutputTable();
    PageStep refused;
    if (!Collect(table, inputs, m_image, &refused)) {
        m_warningBox = table[size_t(m_failedField)].message == kTsOnidMessage;
        if (m_warningBox)
            refused.caption = "Warning";
        return refused;
    }
    const std::optional<EncoderStandard> standard = Standard();
    if ((m_kind == K::kRf24 || m_kind == K::kRf85) && standard == EncoderStandard::kDvbc)
        m_image.Bytes()[size_t(kQ + 9)] = 0;  // the encoders modulate Annex-A only
    if (m_kind == K::kRf88 && standard == EncoderStandard::kDvbc) {
        // The bandwidth list's only entry, selected or not: index 0, 8 MHz.
        m_image.Bytes()[size_t(kR + 10)] = 0;
        m_image.Bytes()[size_t(kR + 11)] = 8;
    }
    if (m_kind == K::kDual89) {
        // The first output's identifiers, as the form shows them, are the output block's too.
        m_image.SetValue(Def("tsId"), m_image.Value(Def("x.tsId1")));
        m_image.SetValue(Def("netId"), m_image.Value(Def("x.netId1")));
    }
    return Request(kCmdEncoderOutputSet, SetPayload(), PageStep::Wait::kBeginShort);
}

void EncoderOutputLogic::TakeGetReply(const ReplyView& reply) {
    const ByteReader p = reply.Reader();
    std::vector<Piece> pieces;
    if (m_kind == K::kRf85 && p.U8Or(0, 0xff) == 8)
        m_kind = K::kRf88;  // the 12-channel model answers on this model's page
    switch (m_kind) {
        case K::kCount87:
        case K::kRf88: {
            const int count = p.U8Or(0, 0);
            if (m_kind == K::kCount87 && count >= 1 && count <= kEncoderChannels)
                m_channels = count;
            if (m_kind == K::kRf88 && (count == 4 || count == 8 || count == 12))
                m_channels = count;
            if (m_kind == K::kRf88 && p.Has(1, 1))
                m_standard = p.U8Or(1);
            pieces = {{8, 0, 45}};
            if (m_kind == K::kRf88)
                pieces.push_back({53, kR, kEncoderRfSize});
            break;
        }
        case K::kDual89:
            m_channels = reply.B() == 12 ? 12 : 8;
            m_standard = reply.C();
            pieces = {{0, 0, 45}, {45, kR, kEncoderRfSize}};
            break;
        case K::kRf24:
        case K::kRf85: {
            pieces = {{0, 0, 46}};
            if (p.Has(45, 1)) {
                const uint8_t s = p.U8Or(45);
                m_standard = s;
                if (s == 1)
                    pieces.push_back({46, kQ, kEncoderQamSize});
                else if (s == 0 || (s == 2 && m_kind == K::kRf24))
                    pieces.push_back({46, kR, kEncoderRfSize});
            }
            break;
        }
        case K::kCount82:
            m_channels = (reply.B() == 4 || reply.B() == 12) ? reply.B() : 8;
            pieces = {{0, 0, 45}};
            break;
        default:
            pieces = {{0, 0, 45}};
    }
    // Only what arrived replaces the image.
    for (const Piece& piece : pieces)
        m_image.Load(p.Sub(size_t(piece.payload), size_t(piece.size)), size_t(piece.image));
}

PageStep EncoderOutputLogic::HandleReply(const ReplyView& reply) {
    const int command = reply.Command();
    if (command == kCmdEncoderStatus) {
        TakeStatus(reply);
        PageStep s;
        s.refresh = kRefreshStatus;
        return s;
    }
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (command == kCmdEncoderOutputGet) {
        if (reply.PayloadLength() > 0) {
            TakeGetReply(reply);
            m_status.working = WorkingTimeText(m_image.Reader().U32LEOr(13));
        }
        PageStep s = PageStep::End(unsigned(PageStep::kRefreshAll) | kRefreshLayout | kRefreshStatus);
        s.sendVersion = true;
        return s;
    }
    return PageStep::End(PageStep::kRefreshNone);
}

void EncoderOutputLogic::TakeStatus(const ReplyView& reply) {
    const ByteReader p = reply.Reader();
    EncoderStatusDisplay& d = m_status;
    d.lamps.fill(-1);
    uint32_t kbps = 0;
    if (p.U32LE(1, &kbps)) {
        d.bitrate = Thousandths(kbps);
        if (!m_extremesKnown || m_max < kbps)
            m_max = kbps;
        if (!m_extremesKnown || kbps < m_min)
            m_min = kbps;
        m_extremesKnown = true;
        d.max = Thousandths(m_max);
        d.min = Thousandths(m_min);
    }
    // Lamps from a status byte: bit set shows `setShows` (1 green, 0 red).
    auto lamps = [&](int at, int firstLamp, int count, int firstBit, int setShows) {
        uint8_t bits = 0;
        if (!p.U8(size_t(at), &bits))
            return;
        for (int i = 0; i < count; ++i)
            d.lamps[size_t(firstLamp + i)] = (bits >> (firstBit + i) & 1) ? setShows : 1 - setShows;
    };
    constexpr int kInput = kEncoderChannels;
    switch (m_kind) {
        case K::kPlain:
        case K::kMagnum4:
            lamps(5, 0, 4, 0, 1);
            lamps(5, kInput, 1, 4, 1);
            break;
        case K::kMagnum8:
        case K::kRf24:
            lamps(5, 0, 8, 0, 0);
            lamps(6, kInput, 1, 0, 1);
            lamps(6, 8, 1, 1, 1);
            break;
        case K::kCount82:
            lamps(5, 0, 8, 0, 0);
            if (m_channels == 12)
                lamps(6, 8, 4, 4, 0);
            else
                lamps(6, kInput, 1, 0, 0);
            break;
        case K::kRf85:
        case K::kDual89:
            lamps(5, 0, 8, 0, 0);
            lamps(6, kInput, 1, 0, 0);
            lamps(6, 8, 1, 1, 0);
            break;
        case K::kCount87:
        case K::kRf88: {
            lamps(18, 0, 8, 0, 0);
            if (m_channels >= 9)
                lamps(19, 8, 8, 0, 0);
            else
                lamps(7, kInput, 1, 0, 1);
            uint32_t seconds = 0;
            uint8_t code = 0, code2 = 0;
            if (p.U32LE(13, &seconds) && p.U8(5, &code) && (m_channels < 9 || p.U8(7, &code2))) {
                char prefix[16];
                if (m_channels < 9)
                    std::snprintf(prefix, sizeof prefix, "%02x,", code);
                else
                    std::snprintf(prefix, sizeof prefix, "%02x%02x,", code2, code);
                d.working = prefix + WorkingTimeText(seconds);
            }
            break;
        }
    }
    auto rates = [&p](int at, int count) {
        std::string line;
        for (int i = 0; i < count; ++i) {
            if (i)
                line += "+";
            line += Thousandths(p.U32LEOr(size_t(at + 4 * i)));
        }
        return line;
    };
    if (m_kind == K::kDual89) {
        d.maxCaption = "BitRate2:";
        if (p.Has(49, 4))
            d.max = Thousandths(p.U32LEOr(49));
        if (p.Has(9, 32))
            d.statusLine = rates(9, 8);
    }
    if (m_type == 0x1855 && p.Has(22, 48))
        d.statusLine = rates(22, 12);
}

}  // namespace nms
