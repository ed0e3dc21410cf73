// The "Program" page of the four-channel CI/CAM receiver.
#pragma once

#include <functional>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/cam4_decrypt_logic.h"
#include "pages/ird/ip_index_dlg.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class Ccam4ird_decrypt : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Ccam4ird_decrypt(QWidget* parent = nullptr);
    ~Ccam4ird_decrypt() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnParse();
    void OnRead();
    void OnSend();
    void OnGetInput();
    void OnSetInput();
    void OnSelChangeCamSet();
    void OnClickProgramList();
    void OnDblClickProgramList();

    // Runs the IP-index dialog; tests replace it (true: "Set" with the dialog's values).
    std::function<bool(CIpIndexDlg& dialog)> m_runDialog;

    FormBinder& InputBinder() { return *m_input; }
    const Cam4DecryptLogic& Logic() const { return m_logic; }
    QTabBar* m_tabs = nullptr;
    QTreeWidget* m_programs = nullptr;
    QComboBox* m_camSet = nullptr;
    QCheckBox* m_index = nullptr;
    QCheckBox* m_eit = nullptr;
    QCheckBox* m_tdt = nullptr;
    QPushButton* m_parse = nullptr;
    QPushButton* m_read = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_getInput = nullptr;
    QPushButton* m_setInput = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.WaitEnded(); }

private:
    void ShowInput();
    void FillProgramList();
    int SelectedRow() const;

    Cam4DecryptLogic m_logic;
    std::unique_ptr<FormBinder> m_input;
};

}  // namespace nms
