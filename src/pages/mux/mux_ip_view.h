// "Multiplex" of the IP-input modulators, scramblers, IRDs and gateways: up to 64 input channels routed to
// outputs A..D. The request chains live in MuxIpLogic; this page wires them to the device, the wait, the
// output-bitrate poll on timer 64 and the widgets.
#pragma once

#include <memory>

#include "pages/mux/multi_output_view.h"
#include "pages/mux/mux_ip_logic.h"

class QComboBox;
class QLabel;

namespace nms {

class Cmuxip : public CMultiOutputView {
    Q_OBJECT
public:
    static constexpr int kPollTimerId = 64;
    static constexpr int kPollMs = 2000;

    explicit Cmuxip(QWidget* parent = nullptr);
    ~Cmuxip() override;

    MuxIpLogic* Logic() const { return m_logic.get(); }

    void OnTimer(int id) override;

    void OnInputAnalyze() override;
    void OnOut(int output) override;  // 0..3: "Out A".."Out D" (or "Select")
    void OnRefreshOut() override;
    void OnSelChangeGroup();

    QComboBox* GroupCombo() const { return m_group; }
    // The output bitrates of the last status reply ("%d.%03d"); not shown on the form.
    QString BitrateText(int n) const;

protected:
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    MultiOutputLogic* Multi() const override { return m_logic.get(); }
    // Every step can change the layout (the module count of the settings reply).
    void Apply(const PageStep& step) override;
    void ApplyLayoutControls();

    std::unique_ptr<MuxIpLogic> m_logic;
    QLabel* m_groupLabel;
    QComboBox* m_group;
};

}  // namespace nms
