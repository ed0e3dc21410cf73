// "Multiplex" of the IP-input modulators, scramblers, IRDs and gateways: up to 64 input channels routed to
// outputs A..D. The request chains live in MuxIpLogic; this page wires them to the device, the wait, the
// output-bitrate poll on timer 64 and the widgets.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_ip_logic.h"
#include "pages/mux/program_tree_mirror.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class Cmuxip : public CFormTemplateView {
    Q_OBJECT
public:
    static constexpr int kPollTimerId = 64;
    static constexpr int kPollMs = 2000;

    explicit Cmuxip(QWidget* parent = nullptr);
    ~Cmuxip() override;

    MuxIpLogic* Logic() const { return m_logic.get(); }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnInputAnalyze();
    void OnOut(int output);  // 0..3: "Out A".."Out D" (or "Select")
    void OnRemove();
    void OnEdit();
    void OnRefreshOut();
    void OnSelChangeGroup();

    QTreeWidget* InputTreeWidget() const { return m_inputTree; }
    QTreeWidget* OutputTreeWidget() const { return m_outputTree; }
    QPushButton* AnalyzeButton() const { return m_analyze; }
    QPushButton* OutButton(int n) const { return m_out[n]; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* RefreshButton() const { return m_refresh; }
    QComboBox* GroupCombo() const { return m_group; }
    QCheckBox* PidRemapCheck() const { return m_pidRemap; }
    // The output bitrates of the last status reply ("%d.%03d"); not shown on the form.
    QString BitrateText(int n) const;

protected:
    void OnStepRefused(const PageStep& step) override;
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    void Apply(const PageStep& step);
    void ApplyLayoutControls();

    std::unique_ptr<MuxIpLogic> m_logic;
    std::unique_ptr<ProgramTreeMirror> m_mirror;  // the two tree widgets follow the logic\'s trees
    QTreeWidget* m_inputTree;
    QTreeWidget* m_outputTree;
    QPushButton* m_analyze;
    std::array<QPushButton*, 4> m_out{};
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_refresh;
    QLabel* m_groupLabel;
    QComboBox* m_group;
    QCheckBox* m_pidRemap;
};

}  // namespace nms
