#include "pages/ird/cam_ird_input.h"

#include "devices/byte_io.h"

namespace nms {
namespace {

constexpr const char* kFrequencyMessage = "Frequency error,over maximum!";

FieldDef Thousandths(const char* key, const char* label, int offset, Wire wire) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.wire = wire;
    f.codec = Codec::kKhzAsMhz;
    f.message = kFrequencyMessage;
    return f;
}

FieldDef List(const char* key, const char* label, int offset, const std::vector<std::string>& texts,
              uint8_t mask = 0) {
    FieldDef f = fields::List(key, label, offset, texts);
    f.mask = mask;
    return f;
}

// The record's fields, shifted by base (0 in the record, as in the source block).
FieldTable RecordFields() {
    FieldTable t;
    t.push_back(Thousandths("freq", "Frequency:", 4, Wire::kU32LE));
    t.push_back(Thousandths("lnb", "LNB Frequency:", 0, Wire::kU32LE));
    FieldDef symbol = Thousandths("symbol", "Symbol:", 8, Wire::kU16LE);
    symbol.rangeMessage = "Symbol rate error,over maximum!";
    t.push_back(symbol);
    t.push_back(List("polarization", "Polarization:", 10, {"Hor.(18V)", "Ver.(13V)", "Close"}));
    FieldDef tone = List("tone", "22K:", 11, {"Close", "Open"});
    tone.nonZeroIsOn = true;
    t.push_back(tone);
    t.push_back(List("diseqc", "DiSEqC:", 12, {"Close", "A", "B", "C", "D"}));
    t.push_back(List("qam", "QAM:", 10, {"16QAM", "32QAM", "64QAM", "128QAM", "256QAM", "1024QAN"}));
    t.push_back(List("qam1", "QAM:", 10, {" 16QAM", " 32QAM", " 64QAM", "128QAM", "256QAM", "1024QAN"}));
    t.push_back(List("standard", "Input Type", 10, {"DVB-T", "DVB-T2", "DVB-C", "AUTO"}));
    t.push_back(List("standard1", "Input Type", 10, {"DVB-T", "DVB-T2", "DVB-C", "Auto"}));
    t.push_back(List("bandwidth", "Bandwidth:", 11, {"6M", "7M", "8M", "5M", "1.7M"}));
    t.push_back(fields::Flag("eit", "EIT", 18, 0x02));
    t.push_back(fields::Flag("tdt", "TDT", 18, 0x04));
    return t;
}

}  // namespace

CamInputForm CamFormOfModuleType(int moduleType) {
    switch (moduleType) {
        case 1:
            return CamInputForm::kCable;
        case 2:
            return CamInputForm::kTerrestrial;
        case 3:
            return CamInputForm::kFrequencyOnly;
        default:
            return CamInputForm::kSatellite;
    }
}

bool CamFormOfInputType(int inputType, uint8_t kindByte, CamInputForm* form) {
    switch (inputType) {
        case 1:
            *form = (kindByte & 0x0f) == 3 ? CamInputForm::kFrequencyOnly : CamInputForm::kSatellite;
            return true;
        case 2:
            *form = CamInputForm::kCable;
            return true;
        case 4:
            *form = CamInputForm::kTerrestrial;
            return true;
        default:
            return false;
    }
}

const FieldTable& CamIrdInputTable() {
    static const FieldTable table = RecordFields();
    return table;
}

const FieldTable& CamIrdSourceTable() {
    static const FieldTable table = [] {
        FieldTable t = RecordFields();
        FieldDef ip;
        ip.key = "ip";
        ip.label = "Input IP:";
        ip.offset = kCamIpBlockOffset;
        ip.wire = Wire::kBytes;
        ip.length = 4;
        ip.control = Control::kIpAddress;
        ip.codec = Codec::kDottedIp;
        ip.message = "IP address error!";
        t.push_back(ip);
        FieldDef port;
        port.key = "port";
        port.label = "Input Port:";
        port.offset = kCamIpBlockOffset + 4;
        port.wire = Wire::kU16LE;
        port.message = "Port range should be between 0-65535!";
        t.push_back(port);
        t.push_back(fields::Flag("multicast", "Multicast", kCamIpBlockOffset + 82, 0));
        return t;
    }();
    return table;
}

void StoreToneAsShown(const FieldTable& table, const FormInputs& inputs, ParamBlock& block) {
    const int tone = FindField(table, "tone");
    if (tone < 0 || size_t(tone) >= inputs.size() || !inputs[size_t(tone)])
        return;
    const int index = inputs[size_t(tone)]->index;
    if (index == 0 || index == 1)
        block.SetValue(table[size_t(tone)], index);
}

std::vector<std::string> CamFormKeys(CamInputForm form, bool oneChannel) {
    switch (form) {
        case CamInputForm::kSatellite:
            return {"freq", "lnb", "symbol", "polarization", "tone", "diseqc"};
        case CamInputForm::kCable:
            return {"freq", "symbol", oneChannel ? "qam1" : "qam"};
        case CamInputForm::kTerrestrial:
            return {"freq", oneChannel ? "standard1" : "standard", "bandwidth"};
        case CamInputForm::kFrequencyOnly:
            return {"freq"};
    }
    return {};
}

std::vector<uint8_t> CamReadInputRequest(int channel) {
    return {0, uint8_t(channel >= 0 && channel < kCamChannels ? channel : 0)};
}

std::vector<uint8_t> CamWriteInputRequest(int channel, const std::vector<uint8_t>& record, uint32_t bitrate) {
    std::vector<uint8_t> payload = CamReadInputRequest(channel);
    std::vector<uint8_t> fixed(kCamInputSize, 0);
    ByteWriter(fixed).Bytes(0, record.data(), std::min(record.size(), fixed.size()));
    payload.insert(payload.end(), fixed.begin(), fixed.end());
    ByteAppender(payload).U32LE(bitrate);
    return payload;
}

bool ParseCamInputReply(const ReplyView& reply, CamInputReply* out) {
    const ByteReader r = reply.Reader();
    uint8_t module = 0, channel = 0;
    CamInputReply parsed;
    if (!r.U8(0, &module) || !r.U8(1, &channel) || channel >= kCamChannels ||
        !r.Bytes(2, kCamInputSize, &parsed.record))
        return false;
    parsed.moduleType = module;
    parsed.channel = channel;
    parsed.hasBitrate = r.U32LE(2 + kCamInputSize, &parsed.bitrate);
    *out = std::move(parsed);
    return true;
}

}  // namespace nms
