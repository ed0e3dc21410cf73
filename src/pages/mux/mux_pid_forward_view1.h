// "PID Passthrough" of the multi-channel devices: the same pass-through list as CMuxPidForwardView, but
// the table travels as one image in segments and every entry names up to sixteen outputs. The exchanges
// live in PidSegmentLogic.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/pid_segment_logic.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class CMuxPidForwardView1 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxPidForwardView1(QWidget* parent = nullptr);
    ~CMuxPidForwardView1() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnGet();
    void OnSet();
    void OnAddPid();
    void OnEdit();
    void OnDelete();
    void OnEmpty();

    PidSegmentLogic* Logic() const { return m_logic.get(); }
    QTreeWidget* List() const { return m_list; }
    QPushButton* GetButton() const { return m_get; }
    QPushButton* SetButton() const { return m_set; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* DeleteButton() const { return m_delete; }
    QPushButton* EmptyButton() const { return m_empty; }

protected:
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    void OnStepRefused(const PageStep& step) override;
    void ShowRows();
    int SelectedRow() const;

    std::unique_ptr<PidSegmentLogic> m_logic;
    QLabel* m_title;
    QTreeWidget* m_list;
    QPushButton* m_get;
    QPushButton* m_set;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_empty;
};

}  // namespace nms
