#include "pages/ird/cam_ird_source_logic.h"

#include <cstdio>
#include <cstdlib>

#include "devices/byte_io.h"

namespace nms {
namespace {

constexpr int kMulticastOffset = kCamIpBlockOffset + 82;
constexpr int kTextOffsets[] = {kCamIpBlockOffset + 10, kCamIpBlockOffset + 42};
constexpr int kStatusReplyMinimum = 1 + 39;  // type and status record
constexpr int kCam1NameOffset = 45;
constexpr int kCam1NameLength = 25;
constexpr int kCam2NameOffset = 70;
constexpr int kCamNameMax = 64;

bool HasForm(int type) {
    return type == 1 || type == 2 || type == 4;
}

}  // namespace

std::string CamMbpsText(int32_t kbps) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%03d", kbps < 0 ? "-" : "", std::abs(kbps / 1000),
                  std::abs(kbps % 1000));
    return text;
}

CamIrdSourceLogic::CamIrdSourceLogic() : m_block(kCamSourceSize) {}

std::optional<CamInputForm> CamIrdSourceLogic::Form() const {
    CamInputForm form;
    if (!CamFormOfInputType(m_inputType, m_block.Bytes()[17], &form))
        return std::nullopt;
    return form;
}

PageStep CamIrdSourceLogic::Get(std::optional<int>) {
    m_boundsStarted = false;
    m_maxText.assign(1, '0');
    m_minText.assign(1, '0');
    m_status = CamIrdStatus();
    PageStep step = Request(kCmdCamReadInput, {});
    step.refresh = kRefreshStatus;
    return step;
}

PageStep CamIrdSourceLogic::Set(const FormInputs& inputs, std::optional<int> mode) {
    PageStep refused;
    if (!Collect(CamIrdSourceTable(), inputs, m_block, &refused))
        return refused;
    StoreToneAsShown(CamIrdSourceTable(), inputs, m_block);
    const bool multicast = mode == 1;
    ByteWriter w(m_block.Bytes());
    const bool shownMulticast = m_block.Bytes()[kMulticastOffset] != 0;
    if (multicast != shownMulticast)
        w.U8(kMulticastOffset, multicast ? 1 : 0);
    // The device expects the dotted text of address 0 in both texts; what follows their NUL stays.
    static const char kZeroAddress[] = "0.0.0.0";
    for (int offset : kTextOffsets)
        w.Bytes(size_t(offset), reinterpret_cast<const uint8_t*>(kZeroAddress), sizeof kZeroAddress);
    std::vector<uint8_t> payload;
    if (HasForm(m_inputType))
        payload.push_back(uint8_t(m_inputType));
    payload.insert(payload.end(), m_block.Bytes().begin(), m_block.Bytes().end());
    return Request(kCmdCamWriteInput, std::move(payload));
}

std::string CamIrdSourceLogic::BitrateText() const {
    return CamMbpsText(m_status.bitrate);
}

PageStep CamIrdSourceLogic::HandleReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    switch (reply.Command()) {
        case kCmdCamReadInput: {
            uint8_t type = 0;
            if (m_awaited != kCmdCamReadInput || !r.U8(0, &type))
                return {};
            m_awaited = -1;
            m_inputType = type;
            // The block comes only with a whole reply; a shorter one shows the kept block under the new type.
            if (r.Has(1, kCamSourceSize))
                m_block.Load(r.Sub(1, kCamSourceSize));
            PageStep step = PageStep::End(kRefreshSource);
            step.sendVersion = true;
            if (!HasForm(type))
                step.messages.push_back("No this type parameter!");
            return step;
        }
        case kCmdCamWriteInput:
            if (m_awaited != kCmdCamWriteInput)
                return {};
            m_awaited = -1;
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdCamStatus: {
            if (!r.Has(0, kStatusReplyMinimum))
                return {};
            CamIrdStatus s;
            s.inputType = r.U8Or(0);
            s.programs = r.U8Or(1);
            s.bitrate = int32_t(r.U32LEOr(2));
            s.bits = r.U8Or(6);
            s.quality = r.U8Or(7);
            s.unitOrStrength = r.U8Or(8);
            s.carrierToNoise = int32_t(r.U32LEOr(9));
            s.word = r.U32LEOr(40);
            s.cam1Name = r.Text(kCam1NameOffset, kCam1NameLength);
            s.cam2Name = r.Text(kCam2NameOffset, kCamNameMax);
            m_status = s;
            const uint32_t rate = uint32_t(s.bitrate);
            if (!m_boundsStarted || rate > m_max) {
                m_max = rate;
                m_maxText = CamMbpsText(s.bitrate);
            }
            if (!m_boundsStarted || rate < m_min) {
                m_min = rate;
                m_minText = CamMbpsText(s.bitrate);
            }
            m_boundsStarted = true;
            PageStep step;
            step.refresh = kRefreshStatus;
            return step;
        }
        default:
            return {};
    }
}

}  // namespace nms
