// The "ASI" page of encoders that remultiplex programs of an ASI input into their output.
#pragma once

#include <functional>

#include "pagebase/form_template_view.h"
#include "pages/encoder/encoder_asi_logic.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nms {

class CEditProgramDlg;

class CEncoderASIView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CEncoderASIView(QWidget* parent = nullptr);
    ~CEncoderASIView() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnInputAnalyze();
    void OnSelectProgram();
    void OnRefreshOut();
    void OnEditProgram();
    void OnRemoveProgram();

    // Runs the program edit dialog; tests replace it (true: OK).
    std::function<bool(CEditProgramDlg& dialog)> m_runEdit;

    const EncoderAsiLogic& Logic() const { return m_logic; }
    QTreeWidget* m_inputTree = nullptr;
    QTreeWidget* m_outputTree = nullptr;
    QPushButton* m_analyze = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_refreshOut = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_remove = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { NothingLate(m_logic); }

private:
    // The program index of the selected item when it is a direct child of the root, else 0.
    int SelectedProgram(QTreeWidget* tree) const;
    void ShowTree(QTreeWidget* tree, const std::vector<ProgramTreeNode>& nodes);

    EncoderAsiLogic m_logic;
};

}  // namespace nms
