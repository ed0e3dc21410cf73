#include "pages/ird/adapter_logic.h"

#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/late_reply.h"

namespace nms {

std::string AdapterMbps(uint32_t kbps) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", kbps / 1000, kbps % 1000);
    return text;
}

int ListIndexFor(int received, int count, int limit, int current) {
    if (received >= 0 && received < count)
        return received;
    if (received < limit)
        return -1;
    return current;
}

PageStep E1AdapterLogic::Set(int modeIndex) {
    if (modeIndex >= 0 && modeIndex < 4)
        m_mode = uint8_t(modeIndex + 1);
    m_await.Expect(kCmdAdapterSet);
    return PageStep::Request(kCmdAdapterSet, {m_mode});
}

PageStep E1AdapterLogic::HandleReply(const ReplyView& reply) {
    return ReplyStep(m_await, reply, false, [&] { return Handle(reply); });
}

PageStep E1AdapterLogic::Handle(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    PageStep step;
    switch (reply.Command()) {
        case kCmdAdapterGet:
            // The get starts no wait, so its reply leaves a running set's wait alone.
            if (!r.U8(0, &m_mode))
                return {};
            step.refresh = kRefreshAdapterConfig;
            return step;
        case kCmdAdapterSet:
            if (!m_await.InTime(reply))
                return {};
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdAdapterStatus: {
            uint32_t asiToE1 = 0, e1ToAsi = 0;
            if (!r.U32LE(0, &asiToE1) || !r.U32LE(4, &e1ToAsi) || !r.U8(8, &m_lock))
                return {};
            m_asiToE1 = AdapterMbps(asiToE1);
            m_e1ToAsi = AdapterMbps(e1ToAsi);
            step.refresh = kRefreshAdapterStatus;
            return step;
        }
        default:
            return {};
    }
}

PageStep Ds3AdapterLogic::Get() {
    m_await.Expect(kCmdAdapterGet);
    return PageStep::Request(kCmdAdapterGet, {});
}

PageStep Ds3AdapterLogic::Set(int asiToDs3, int ds3ToAsi) {
    std::vector<uint8_t> record(kRecordSize, 0);
    record[kParamsOffset] = asiToDs3 >= 0 && asiToDs3 < kProtocols ? uint8_t(asiToDs3) : m_params[0];
    record[kParamsOffset + 1] = ds3ToAsi >= 0 && ds3ToAsi < kProtocols ? uint8_t(ds3ToAsi) : m_params[1];
    m_await.Expect(kCmdAdapterSet);
    return PageStep::Request(kCmdAdapterSet, std::move(record));
}

PageStep Ds3AdapterLogic::HandleReply(const ReplyView& reply) {
    return ReplyStep(m_await, reply, false, [&] { return Handle(reply); });
}

PageStep Ds3AdapterLogic::Handle(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    switch (reply.Command()) {
        case kCmdAdapterGet: {
            // Both protocol indexes must have arrived; the rest of the block is taken as far as it came.
            if (!m_await.InTime(reply) || !r.Has(kParamsOffset, 2))
                return {};
            r.Sub(kParamsOffset, kParamsSize)
                .Bytes(0, r.Sub(kParamsOffset, kParamsSize).Size(), m_params.data());
            r.U16LE(kParamsOffset + kParamsSize, &m_word);
            m_await.Clear();
            PageStep step = PageStep::End(kRefreshAdapterConfig);
            step.sendVersion = true;
            return step;
        }
        case kCmdAdapterSet:
            if (!m_await.InTime(reply))
                return {};
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdAdapterStatus: {
            uint32_t asiToDs3 = 0, ds3ToAsi = 0;
            if (!r.U32LE(0, &asiToDs3) || !r.U32LE(4, &ds3ToAsi) || !r.U8(8, &m_lock))
                return {};
            m_asiToDs3 = AdapterMbps(asiToDs3);
            m_ds3ToAsi = AdapterMbps(ds3ToAsi);
            PageStep step;
            step.refresh = kRefreshAdapterStatus;
            return step;
        }
        default:
            return {};
    }
}

PageStep AsiDistributorLogic::Set(bool autoSwitch, bool input1) const {
    std::vector<uint8_t> record(kRecordSize, 0);
    record[0] = autoSwitch ? 0 : 1;
    record[1] = input1 ? 0 : 1;
    return PageStep::Request(kCmdAdapterSet, std::move(record), PageStep::Wait::kNone);
}

PageStep AsiDistributorLogic::HandleReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    PageStep step;
    switch (reply.Command()) {
        case kCmdAdapterGet: {
            uint8_t manual = 0, input = 0;
            if (!r.U8(0, &manual) || !r.U8(1, &input))
                return {};
            m_auto = manual == 0;
            if (!m_auto)
                m_input2 = input != 0;
            step.refresh = kRefreshAdapterConfig;
            return step;
        }
        case kCmdAdapterStatus: {
            uint8_t output = 0;
            uint32_t rates[4] = {};
            if (!r.U8(0, &output))
                return {};
            for (int i = 0; i < 4; ++i)
                if (!r.U32LE(size_t(1 + 4 * i), &rates[i]))
                    return {};
            if (output <= 2)
                m_output = output;
            m_rates[0] = AdapterMbps(rates[0]) + " / " + AdapterMbps(rates[1]);
            m_rates[1] = AdapterMbps(rates[2]) + " / " + AdapterMbps(rates[3]);
            step.refresh = kRefreshAdapterStatus;
            return step;
        }
        default:
            return {};
    }
}

}  // namespace nms
