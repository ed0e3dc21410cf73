// The "Scrambler" page of the QAM modulators with a built-in scrambler (every variant).
#pragma once

#include <array>
#include <functional>

#include "pagebase/form_template_view.h"
#include "pages/scrambler/qam4_sas_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QGroupBox;
class QTreeWidgetItem;

namespace nms {

class CAcTableDlg;
class CCheckTreeCtrl;
class CIPAddressCtrl;

class Cqam4_sas : public CFormTemplateView {
    Q_OBJECT
public:
    enum NodeKind { kRootNode, kProgramNode, kInfoNode, kStreamNode, kPidNode };

    explicit Cqam4_sas(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnParse();
    void OnAcTable();
    void OnSetProgram();
    void OnSelChangeTab(int index);
    void OnSelChangeAcIndex();
    void OnSelChangeGroup();
    void OnClickTree(QTreeWidgetItem* item);
    void OnCheckImageClicked(QTreeWidgetItem* item, int newValue);

    std::function<bool(CAcTableDlg& dialog)> m_runAcTable;

    const Qam4SasLogic& Logic() const { return m_logic; }
    SasCasForm CollectForm() const;
    // The root, program and stream of an item (-1 where it has none).
    void Locate(QTreeWidgetItem* item, int* root, int* program, int* stream) const;

    QTabBar* m_tabs;
    QGroupBox* m_slotBox;
    QCheckBox* m_enable;
    QLineEdit* m_superCasId;
    QLineEdit* m_ecmId;
    CIPAddressCtrl* m_ecmgAddress;
    QLineEdit* m_ecmgPort;
    QLineEdit* m_emmPid;
    QLineEdit* m_emmgTcpPort;
    QLineEdit* m_emmgUdpPort;
    QComboBox* m_emmgMode;
    QLineEdit* m_encryptPeriod;
    QComboBox* m_mode;
    QLabel* m_modeLabel;
    QLineEdit* m_programName;
    QLineEdit* m_programNumber;
    QComboBox* m_acIndex;
    QLineEdit* m_ecmPid;
    QLabel* m_ecmPidLabel;
    QComboBox* m_group;
    QLabel* m_groupLabel;
    CCheckTreeCtrl* m_tree;
    std::array<QLabel*, 8> m_links{};
    QPushButton* m_get;
    QPushButton* m_set;
    QPushButton* m_acTable;
    QPushButton* m_parse;
    QPushButton* m_setProgram;

protected:
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { NothingLate(m_logic); }

private:
    void LayOut();
    void BuildTree();
    void BuildRoots();
    void FillAcIndexList();
    void FillGroups();
    void ShowProgramFields(int root, int program);
    void SyncChecks(QTreeWidgetItem* programItem);
    QTreeWidgetItem* ProgramItemOf(QTreeWidgetItem* item) const;

    Qam4SasLogic m_logic;
    int m_selRoot = -1, m_selProgram = -1;  // the program whose fields show
};

}  // namespace nms
