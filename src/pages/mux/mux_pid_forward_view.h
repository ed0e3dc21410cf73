// "PID Passthrough": the PID pass-through (remap) table of the multiplexers, ASI modulators, scrambler,
// IRDs and encoders. Get reads the device's table into the list, Add/Edit/Delete/Empty change the list
// only, Set writes the list back. The exchanges live in PidForwardLogic.
#pragma once

#include <memory>

#include "pages/mux/pid_forward_logic.h"
#include "pages/mux/pid_passthrough_view.h"

namespace nms {

class CMuxPidForwardView : public CPidPassthroughView {
    Q_OBJECT
public:
    explicit CMuxPidForwardView(QWidget* parent = nullptr);
    ~CMuxPidForwardView() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;

    void OnAddPid() override;
    void OnEdit() override;

    PidForwardLogic* Logic() const { return m_logic.get(); }

protected:
    void OnInitialUpdate() override;

private:
    PidTableLogic& Table() const override { return *m_logic; }
    void ShowRows() override;

    std::unique_ptr<PidForwardLogic> m_logic;
};

}  // namespace nms
