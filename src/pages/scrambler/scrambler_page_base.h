// What the QAM scrambler page and the stand-alone scrambler page show alike: the CAS tabs with the slot's
// connection fields, the program tree with its scramble marks, the AC index list and AC table dialog, the
// program selection with its ECM PID, and the connection lamps. The pages add their own fields, requests
// and replies.
#pragma once

#include <QString>
#include <array>
#include <functional>

#include "pagebase/form_template_view.h"
#include "pages/scrambler/scrambler_logic.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTreeWidgetItem;
class QVBoxLayout;

namespace nms {

class CAcListDlg;
class CCheckTreeCtrl;
class CIPAddressCtrl;

// The status poll of both pages.
constexpr int kScramblerPollTimerId = 66;

class CScramblerPageBase : public CFormTemplateView {
    Q_OBJECT
public:
    // Kinds of tree items (item data role + 1).
    enum NodeKind { kRootNode, kProgramNode, kInfoNode, kElementNode, kPidNode };

    // logic: the page's own, which may not be constructed yet (the base does not touch it here).
    explicit CScramblerPageBase(ScramblerLogic& logic, QWidget* parent = nullptr);
    ~CScramblerPageBase() override;

    virtual void OnParse() = 0;
    virtual void OnRefresh() = 0;
    virtual void OnSet() = 0;
    void OnAcTable();
    void OnSelChangeCasTab(int index);
    void OnClickTree(QTreeWidgetItem* item);
    void OnCheckImageClicked(QTreeWidgetItem* item, int newValue);
    void OnChangeEcmPid();
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;

    // The AC table dialog's run; tests replace it (true: OK).
    std::function<bool(CAcListDlg& dialog)> m_runAcList;

    // The form as typed.
    ScramblerSlotForm CollectForm() const;
    // The program node selected in the tree (0: none).
    int SelectedProgramNode() const;
    QTreeWidgetItem* ProgramNode(int program) const;
    QTreeWidgetItem* ElementNode(int program, int element) const;

    QTabBar* m_tabs;
    QGroupBox* m_slotBox;
    QCheckBox* m_enable;
    CIPAddressCtrl* m_ecmgAddress;
    QLineEdit* m_ecmgPort;
    QLineEdit* m_ecmChannelId;
    QLineEdit* m_emmgTcpPort;
    QLineEdit* m_emmgUdpPort;
    QComboBox* m_emmgMode;
    QLineEdit* m_emmPid;
    QLineEdit* m_superCasId;
    QLineEdit* m_programName;
    QComboBox* m_acIndex;
    QLineEdit* m_ecmPid;
    QLineEdit* m_encryptPeriod;
    CCheckTreeCtrl* m_tree;
    QTreeWidgetItem* m_root = nullptr;
    std::array<QLabel*, 8> m_linkLamps{};  // status bits 0..7: ECMG1..4, EMMG1..4
    QPushButton* m_parse;
    QPushButton* m_refresh;
    QPushButton* m_set;
    QPushButton* m_acTable;

protected:
    bool DoDataExchange(bool collect) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { NothingLate(m_logic); }
    // Carries a step and posts the events the logic gathered.
    void CarryStep(const PageStep& step);
    // Shows the selected slot and rebuilds the tree.
    void ShowSlot();
    void EmptyTree();
    void FillAcIndexList();
    virtual void ShowStatus();
    // The page's own fields of the form (the base fills the slot's).
    virtual void ShowExtraFields(const ScramblerSlotForm&) {}
    virtual void CollectExtraFields(ScramblerSlotForm*) const {}
    // Forgets what was read, for a new binding.
    void ResetPage();

    // The extra fields' grid (rows from 0) and the column of the tree (tree, link lamps, buttons last).
    QGridLayout* m_extraGrid;
    QVBoxLayout* m_sideColumn;

private:
    void AddProgramNode(int program);
    void SyncMarks(int program);

    ScramblerLogic& m_logic;
    bool m_showing = false;  // the form is being filled: edits are not the operator's
};

}  // namespace nms
