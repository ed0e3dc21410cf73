// What the multi-output channel page (Cmuxchannel2) and the IP multiplexer page (Cmuxip) share: the input
// and output trees with their mirror, the Input Analyze, Out A..D, Refresh Out, Edit and Remove buttons,
// Remove and Edit, and the reply and wait handling over MultiOutputLogic.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "pagebase/form_template_view.h"
#include "pages/mux/multi_output_logic.h"
#include "pages/mux/program_tree_mirror.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTreeWidget;

namespace nms {

class CMultiOutputView : public CFormTemplateView {
    Q_OBJECT
public:
    ~CMultiOutputView() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    virtual void OnInputAnalyze() = 0;
    virtual void OnOut(int output) = 0;  // 0..3: "Out A".."Out D"
    virtual void OnRefreshOut() = 0;
    void OnRemove();
    void OnEdit();

    QTreeWidget* InputTreeWidget() const { return m_inputTree; }
    QTreeWidget* OutputTreeWidget() const { return m_outputTree; }
    QPushButton* AnalyzeButton() const { return m_analyze; }
    QPushButton* OutButton(int n) const { return m_out[n]; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* RefreshButton() const { return m_refresh; }
    QCheckBox* PidRemapCheck() const { return m_pidRemap; }

protected:
    explicit CMultiOutputView(QWidget* parent);

    void OnStepRefused(const PageStep& step) override;

    // The page's logic; null before the page was bound.
    virtual MultiOutputLogic* Multi() const = 0;
    // Carries out a step of the logic (and what the page shows after it).
    virtual void Apply(const PageStep& step) { Carry(step); }
    // The trees follow the new logic's models.
    void Mirror(MultiOutputLogic* logic);
    // The "PID Remap" check box, checked (made by the page where its tab order has it).
    void MakePidRemap();
    // Trees left and right, buttons between them: above, Input Analyze .. Remove, then below.
    void LayOut(const std::vector<QWidget*>& above, const std::vector<QWidget*>& below);
    bool Ready() const { return Multi() && DeviceOnline(); }

    QTreeWidget* m_inputTree;
    QTreeWidget* m_outputTree;
    std::unique_ptr<ProgramTreeMirror> m_mirror;  // the two tree widgets follow the logic's trees
    QGroupBox* m_inputGroup;
    QGroupBox* m_outputGroup;
    QPushButton* m_analyze;
    std::array<QPushButton*, 4> m_out{};
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_refresh;
    QCheckBox* m_pidRemap = nullptr;
};

}  // namespace nms
