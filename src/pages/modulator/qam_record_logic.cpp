#include "pages/modulator/qam_record_logic.h"

#include <algorithm>

#include "devices/byte_io.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr QamPageVariant kVariants[] = {{0, false}, {100, true}};

}  // namespace

const FieldTable& QamModulatorParamsTable() {
    static const FieldTable table = [] {
        FieldTable t;
        // The form's own number fields are taken first, then the radio values in the device's order.
        t.push_back(fields::Decimal("port", "IP Insert:", 30, Wire::kU16LE));
        t.push_back(fields::Decimal("tsId", "TS ID:", 32, Wire::kU16LE));
        t.push_back(fields::Decimal("netId", "NET. ID:", 34, Wire::kU16LE));
        t.push_back(QamConstellationField(0, EightConstellations()));
        t.push_back(fields::ListData("coding", "Convolution code:", 10, ConvolutionCodes()));
        t.push_back(fields::ListData("interface", "Input Interface:", 10, InputInterfaces()));
        t.push_back(QamAttField(0));
        FieldDef qpskAtt = QamAttField(0);
        qpskAtt.key = "attQpsk";
        qpskAtt.parse = ParseQpskAtt;
        qpskAtt.format = FormatQpskAtt;
        t.push_back(qpskAtt);
        t.push_back(QamFrequencyField(0));
        t.push_back(QamSymbolRateField(0));
        t.push_back(QamAnnexField(0));
        t.push_back(QamInversionField(0));
        t.push_back(fields::Flag("pat", "Insert PAT", 23));
        t.push_back(fields::Flag("pmt", "Insert PMT", 26));
        t.push_back(fields::Flag("sdt", "Insert SDT", 24));
        t.push_back(fields::Flag("nit", "Insert NIT", 25));
        t.push_back(fields::Flag("cat", "Insert CAT", 27));
        return t;
    }();
    return table;
}

const FieldTable& MuxQamOutputParamsTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(fields::Decimal("port", "IP Insert:", 27, Wire::kU16LE));
        t.push_back(QamConstellationField(0, EightConstellations()));
        FieldDef att = QamAttField(0);
        att.label = "ATT:";
        t.push_back(att);
        t.push_back(QamFrequencyField(0));
        t.push_back(QamSymbolRateField(0));
        FieldDef annex = QamAnnexField(0);
        annex.control = Control::kRadio;
        annex.choices = {{"Annex A", 0}, {"Annex B", 1}};
        t.push_back(annex);
        FieldDef inversion = QamInversionField(0);
        inversion.control = Control::kRadio;
        inversion.choices = {{"Yes", 1}, {"No", 0}};
        t.push_back(inversion);
        FieldDef ts = fields::Decimal("tsId", "TS ID:0X", 23, Wire::kU16LE);
        ts.codec = Codec::kHex;
        t.push_back(ts);
        FieldDef net = fields::Decimal("netId", "NET. ID:0X", 25, Wire::kU16LE);
        net.codec = Codec::kHex;
        t.push_back(net);
        return t;
    }();
    return table;
}

const QamPageVariant& QamVariant(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

std::vector<std::string> QamShownKeys(const QamPageVariant& v) {
    if (v.qpsk)
        return {"freq", "symbol", "attQpsk", "inversion", "coding", "tsId", "netId"};
    return {"freq", "symbol", "att", "constellation", "interface", "inversion", "annex", "pat",
            "pmt",  "sdt",    "nit", "cat",           "port",      "tsId",      "netId"};
}

QamRecordLogic::QamRecordLogic(const FieldTable& table, int size, int mirrorPort, int idsFrom, int clearFrom,
                               int clearTo)
    : m_table(&table),
      m_block(size_t(size)),
      m_mirrorPort(mirrorPort),
      m_idsFrom(idsFrom),
      m_clearFrom(std::clamp(clearFrom, 0, size)),
      m_clearTo(std::clamp(clearTo, m_clearFrom, size)),
      m_idsShown(idsFrom == 0) {}

PageStep QamRecordLogic::Get(std::optional<int>) {
    return Request(kCmdModulatorGet, {});
}

PageStep QamRecordLogic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Collect(*m_table, inputs, m_block, &refused))
        return refused;
    std::fill(m_block.Bytes().begin() + m_clearFrom, m_block.Bytes().begin() + m_clearTo, uint8_t(0));
    StoreOnOffAsShown(*m_table, inputs, m_block);
    if (m_mirrorPort >= 0) {
        const int port = FindField(*m_table, "port");
        ByteWriter(m_block.Bytes())
            .U16LE(size_t(m_mirrorPort), uint16_t(m_block.Value((*m_table)[size_t(port)])));
    }
    return Request(kCmdModulatorSet, m_block.Bytes());
}

PageStep QamRecordLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() == kCmdModulatorGet && reply.PayloadLength() > 0) {
        // Only what arrived replaces the record.
        m_block.Load(reply.Reader());
        if (m_idsFrom > 0 && reply.PayloadLength() > m_idsFrom)
            m_idsShown = true;
        return PageStep::End();
    }
    return PageStep::End(PageStep::kRefreshNone);
}

}  // namespace nms
