// A multi-output channel page: 7 input channels routed to output A (or A..D on variant 33). The request
// chains live in MuxChannel2Logic; this page wires them to the device, the wait and the widgets.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_channel2_logic.h"
#include "pages/mux/program_tree_mirror.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class Cmuxchannel2 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cmuxchannel2(QWidget* parent = nullptr);
    ~Cmuxchannel2() override;

    MuxChannel2Logic* Logic() const { return m_logic.get(); }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnInputAnalyze();
    void OnOut(int output);
    void OnRemove();
    void OnEdit();
    void OnRefreshOut();

    QTreeWidget* InputTreeWidget() const { return m_inputTree; }
    QTreeWidget* OutputTreeWidget() const { return m_outputTree; }
    QPushButton* AnalyzeButton() const { return m_analyze; }
    QPushButton* OutButton(int n) const { return m_out[n]; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* RefreshButton() const { return m_refresh; }
    QCheckBox* PidRemapCheck() const { return m_pidRemap; }

protected:
    void OnStepRefused(const PageStep& step) override;
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    std::unique_ptr<MuxChannel2Logic> m_logic;
    std::unique_ptr<ProgramTreeMirror> m_mirror;  // the two tree widgets follow the logic\'s trees
    QTreeWidget* m_inputTree;
    QTreeWidget* m_outputTree;
    QPushButton* m_analyze;
    std::array<QPushButton*, 4> m_out{};
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_refresh;
    QCheckBox* m_pidRemap;
};

}  // namespace nms
