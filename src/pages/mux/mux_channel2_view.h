// A multi-output channel page: 7 input channels routed to output A (or A..D on variant 33). The request
// chains live in MuxChannel2Logic; this page wires them to the device, the wait and the widgets.
#pragma once

#include <memory>

#include "pages/mux/multi_output_view.h"
#include "pages/mux/mux_channel2_logic.h"

namespace nms {

class Cmuxchannel2 : public CMultiOutputView {
    Q_OBJECT
public:
    explicit Cmuxchannel2(QWidget* parent = nullptr);
    ~Cmuxchannel2() override;

    MuxChannel2Logic* Logic() const { return m_logic.get(); }

    void OnInputAnalyze() override;
    void OnOut(int output) override;
    void OnRefreshOut() override;

protected:
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    MultiOutputLogic* Multi() const override { return m_logic.get(); }

    std::unique_ptr<MuxChannel2Logic> m_logic;
};

}  // namespace nms
