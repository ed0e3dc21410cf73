#include "pages/modulator/tuner2qam_logic.h"

#include <cstdio>

#include "devices/byte_io.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr uint8_t kGet = 0x70, kSet = 0x71, kStatus = 0x40, kBlockKind = 2;

std::string Key(const char* name, int channel) {
    return std::string(name) + std::to_string(channel);
}

}  // namespace

const FieldTable& Tuner2QamTable() {
    static const FieldTable table = [] {
        FieldTable t;
        for (int k = 1; k <= kTunerChannels; ++k) {
            const int base = kTunerBlockSize * (k - 1);
            FieldDef freq = QamFrequencyField(base);
            freq.key = Key("freq", k);
            freq.label = "Frequency:";
            t.push_back(freq);
            FieldDef symbol = QamFrequencyField(base);
            symbol.key = Key("symbol", k);
            symbol.label = "Symbol:";
            symbol.offset = base + 4;
            symbol.wire = Wire::kU16LE;
            symbol.rangeMessage = "Symbol rate error,over maximum!";
            t.push_back(symbol);
            FieldDef constellation = QamConstellationField(
                base, {{" 16-QAM", 0}, {" 32-QAM", 1}, {" 64-QAM", 2}, {"128-QAM", 3}, {"256-QAM", 4}});
            constellation.key = Key("constellation", k);
            constellation.offset = base + 6;
            t.push_back(constellation);
        }
        return t;
    }();
    return table;
}

bool ReadTuner2QamStatus(const std::vector<uint8_t>& payload, Tuner2QamStatus* status) {
    const ByteReader r(payload);
    Tuner2QamStatus s;
    if (!r.U8(0, &s.locks))
        return false;
    for (int k = 0; k < kTunerChannels; ++k) {
        uint32_t kbps = 0;
        if (!r.U32LE(1 + 4 * size_t(k), &kbps))
            return false;
        char text[32];
        std::snprintf(text, sizeof text, "%u.%03u", kbps / 1000, kbps % 1000);
        s.bitrates[size_t(k)] = text;
    }
    uint8_t kind = 0;
    if (r.U8(21, &kind) && (kind == 2 || kind == 6) && r.Has(22, 100)) {
        s.quality = true;
        for (int k = 0; k < kTunerChannels; ++k)
            s.percent[size_t(k)] = r.U8Or(22 + 25 * size_t(k));
    }
    *status = s;
    return true;
}

PageStep Tuner2QamLogic::Get(std::optional<int>) {
    return Request(kGet, {kBlockKind});
}

PageStep Tuner2QamLogic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Collect(Tuner2QamTable(), inputs, m_area, &refused))
        return refused;
    std::vector<uint8_t> payload = {kBlockKind};
    payload.insert(payload.end(), m_area.Bytes().begin(), m_area.Bytes().end());
    return Request(kSet, std::move(payload));
}

PageStep Tuner2QamLogic::Poll() const {
    return PageStep::Poll(kStatus);
}

PageStep Tuner2QamLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() == kStatus) {
        // Shown whenever it comes; a reply too short for what it shows changes nothing.
        if (!ReadTuner2QamStatus(reply.PayloadCopy(), &m_status))
            return {};
        PageStep step;
        step.refresh = kRefreshStatus;
        return step;
    }
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() == kSet)
        return PageStep::End(PageStep::kRefreshNone);
    // The blocks come only whole, and only of the kind the page asked for; the wait ends and the version
    // is asked for in every case.
    const ByteReader r = reply.Reader();
    uint8_t kind = 0;
    if (r.U8(0, &kind) && kind == kBlockKind && r.Has(1, kTunerAreaSize))
        m_area.Load(r.Sub(1, kTunerAreaSize));
    PageStep step = PageStep::End();
    step.sendVersion = true;
    return step;
}

}  // namespace nms
