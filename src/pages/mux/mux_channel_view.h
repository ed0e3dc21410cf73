// "Multiplex": the input channel page of the main multiplexers. Analyses input channels into the input
// tree, reads the routed programs into the output tree, selects, removes and edits output programs. The
// request chains live in MuxChannelLogic; this page wires them to the device, the wait and the widgets.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_channel_logic.h"
#include "pages/mux/program_tree_mirror.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class CMuxChannelView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxChannelView(QWidget* parent = nullptr);
    ~CMuxChannelView() override;

    // What the PSI/SI editor reads through the first-page reference.
    const IOutputProgramSource* OutputProgramSource() const override { return m_logic.get(); }

    MuxChannelLogic* Logic() const { return m_logic.get(); }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    // Buttons.
    void OnInputAnalyze();
    void OnSelect();  // "Select", or "Out A" on the two-output multiplexer
    void OnOutB();
    void OnRefreshOut();
    void OnEdit();
    void OnRemove();

    QTreeWidget* InputTreeWidget() const { return m_inputTree; }
    QTreeWidget* OutputTreeWidget() const { return m_outputTree; }
    QPushButton* AnalyzeButton() const { return m_analyze; }
    QPushButton* SelectButton() const { return m_select; }
    QPushButton* OutBButton() const { return m_outB; }
    QPushButton* RefreshButton() const { return m_refresh; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* RemoveButton() const { return m_remove; }
    QCheckBox* PidRemapCheck() const { return m_pidRemap; }

protected:
    void OnStepRefused(const PageStep& step) override;
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    void ApplyLayoutControls();

    std::unique_ptr<MuxChannelLogic> m_logic;
    std::unique_ptr<ProgramTreeMirror> m_mirror;  // the two tree widgets follow the logic's trees
    QTreeWidget* m_inputTree;
    QTreeWidget* m_outputTree;
    QGroupBox* m_inputGroup;
    QGroupBox* m_outputGroup;
    QPushButton* m_analyze;
    QPushButton* m_select;
    QPushButton* m_refresh;
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_outB;
    QCheckBox* m_pidRemap;
    QLabel* m_pidRemapLabel;
};

}  // namespace nms
