// "Edit NIT": reads the NIT that a multiplexer inserts, edits network id, name, version, network
// descriptors and transport-stream rows, sends the table back and keeps it in "*.nit" files. The
// device exchange lives in MuxNitLogic, the table in NitTable; this page wires them to the widgets.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/psi/mux_nit_logic.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace nms {

class CMuxNitEditView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxNitEditView(QWidget* parent = nullptr);
    ~CMuxNitEditView() override;

    MuxNitLogic* Logic() const { return m_logic.get(); }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnGet();
    void OnGetB();
    void OnSendA() { SendNit(1); }
    void OnSendB() { SendNit(2); }
    void OnReadLocal();
    void OnSaveLocal();
    void OnAddTs();
    void OnEditTs();
    void OnDeleteTs();
    void OnClearTs();
    void OnTsListClick();
    void OnNetworkDescriptorCheck();
    void OnAddNetworkDescriptor();
    void OnEditNetworkDescriptor();
    void OnDeleteNetworkDescriptor();
    void OnClearNetworkDescriptors();
    void OnSelChangeChannel() { OnGet(); }

    QComboBox* ChannelSelector() const { return m_channel; }
    QTreeWidget* TsList() const { return m_tsList; }
    QTreeWidget* NetworkDescriptorList() const { return m_ndList; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* IdEdit() const { return m_id; }
    QLineEdit* VersionEdit() const { return m_version; }
    QCheckBox* NetworkDescriptorCheck() const { return m_ndCheck; }
    QPushButton* GetButton() const { return m_get; }
    QPushButton* GetBButton() const { return m_getB; }
    QPushButton* SetButton() const { return m_set; }
    QPushButton* SendBButton() const { return m_sendB; }
    QPushButton* TsAddButton() const { return m_tsAdd; }
    QPushButton* TsEditButton() const { return m_tsEdit; }
    QPushButton* TsDeleteButton() const { return m_tsDelete; }
    QPushButton* NdAddButton() const { return m_ndAdd; }
    QPushButton* NdEditButton() const { return m_ndEdit; }
    QPushButton* NdDeleteButton() const { return m_ndDelete; }

    // The transport-stream row last clicked, shared by every instance; -1 none.
    static int MarkedRow();

protected:
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep& step) override;

private:
    void SendNit(int side);
    int SelectorIndex() const;
    void ShowTable();  // lists from the table
    void CollectNetworkDescriptors();
    void ApplyModel();
    void UpdateNdEnabled();
    void PaintMarkedRow();

    std::unique_ptr<MuxNitLogic> m_logic;
    QLabel* m_channelLabel;
    QComboBox* m_channel;
    QPushButton* m_get;
    QPushButton* m_getB;
    QPushButton* m_set;
    QPushButton* m_sendB;
    QPushButton* m_readLocal;
    QPushButton* m_saveLocal;
    QPushButton* m_tsAdd;
    QPushButton* m_tsEdit;
    QPushButton* m_tsDelete;
    QPushButton* m_tsClear;
    QCheckBox* m_ndCheck;
    QPushButton* m_ndAdd;
    QPushButton* m_ndDelete;
    QPushButton* m_ndEdit;
    QPushButton* m_ndClear;
    QTreeWidget* m_ndList;
    QTreeWidget* m_tsList;
    QLineEdit* m_name;
    QLineEdit* m_id;
    QLineEdit* m_version;
    // The buttons under the list, and the row the two channels' exchange buttons move to.
    QHBoxLayout* m_buttonRow;
    QHBoxLayout* m_exchangeRow;
};

}  // namespace nms
