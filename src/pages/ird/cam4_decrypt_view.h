// The "Program" page of the four-channel CI/CAM receiver.
#pragma once

#include <functional>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/ird/cam4_decrypt_logic.h"
#include "pages/ird/ip_index_dlg.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class Ccam4ird_decrypt : public CBlockPageView {
    Q_OBJECT
public:
    explicit Ccam4ird_decrypt(QWidget* parent = nullptr);
    ~Ccam4ird_decrypt() override;

    void OnParse();
    void OnRead();
    void OnSend();
    // The EIT and TDT boxes go into the record's pass-through bits first.
    void OnSet() override;
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

protected:
    // The input record of the channel in front.
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_input.get(); }
    void ShowBlock() override;
    std::optional<int> Selection() const override;
    // Showing reads the input and then the rest of the channel, as one chain.
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void FillProgramList();
    int SelectedRow() const;

    Cam4DecryptLogic m_logic;
    std::unique_ptr<FormBinder> m_input;
};

}  // namespace nms
