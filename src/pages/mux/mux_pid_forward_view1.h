// "PID Passthrough" of the multi-channel devices: the same pass-through list as CMuxPidForwardView, but
// the table travels as one image in segments and every entry names up to sixteen outputs. The exchanges
// live in PidSegmentLogic.
#pragma once

#include <memory>

#include "pages/mux/pid_passthrough_view.h"
#include "pages/mux/pid_segment_logic.h"

namespace nms {

class CMuxPidForwardView1 : public CPidPassthroughView {
    Q_OBJECT
public:
    explicit CMuxPidForwardView1(QWidget* parent = nullptr);
    ~CMuxPidForwardView1() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;

    void OnAddPid() override;
    void OnEdit() override;

    PidSegmentLogic* Logic() const { return m_logic.get(); }

protected:
    void OnInitialUpdate() override;

private:
    PidTableLogic& Table() const override { return *m_logic; }
    void ShowRows() override;

    std::unique_ptr<PidSegmentLogic> m_logic;
};

}  // namespace nms
