// The "Program" page of the four-channel CI/CAM receiver.
#pragma once

#include <functional>
#include <memory>

#include "pages/ird/cam4_channel_view.h"
#include "pages/ird/cam4_decrypt_logic.h"
#include "pages/ird/ip_index_dlg.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace nms {

class Ccam4ird_decrypt : public CCam4ChannelView {
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

    const Cam4DecryptLogic& Logic() const { return m_logic; }
    QComboBox* m_camSet = nullptr;
    QCheckBox* m_index = nullptr;
    QCheckBox* m_eit = nullptr;
    QCheckBox* m_tdt = nullptr;
    QPushButton* m_read = nullptr;
    QPushButton* m_send = nullptr;

protected:
    CamChannelLogic& ChannelLogic() override { return m_logic; }
    void ShowBlock() override;
    void FillProgramList() override;

private:
    int SelectedRow() const;

    Cam4DecryptLogic m_logic;
};

}  // namespace nms
