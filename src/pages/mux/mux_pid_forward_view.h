// "PID Passthrough": the PID pass-through (remap) table of the multiplexers, ASI modulators, scrambler,
// IRDs and encoders. Get reads the device's table into the list, Add/Edit/Delete/Empty change the list
// only, Set writes the list back. The exchanges live in PidForwardLogic.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/pid_forward_logic.h"

class QPushButton;
class QTreeWidget;

namespace nms {

class CMuxPidForwardView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxPidForwardView(QWidget* parent = nullptr);
    ~CMuxPidForwardView() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnGet();
    void OnSet();
    void OnAddPid();
    void OnEdit();
    void OnDelete();
    void OnEmpty();

    PidForwardLogic* Logic() const { return m_logic.get(); }
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

    std::unique_ptr<PidForwardLogic> m_logic;
    QTreeWidget* m_list;
    QPushButton* m_get;
    QPushButton* m_set;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_empty;
};

}  // namespace nms
