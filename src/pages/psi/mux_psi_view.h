// "Edit PSI": the PAT, PMTs, CAT, NIT and SDT of one multiplexer output as an editable field tree, read
// and written back in fixed request chains. The tables, their packing and the chains live in
// CMuxPsiModel and CMuxPsiChain; this page mirrors the tree and routes operator actions and replies.
#pragma once

#include <QIcon>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "pagebase/form_template_view.h"
#include "pages/psi/psi_chain.h"
#include "pages/psi/psi_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nms {

class CMuxPsiView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxPsiView(QWidget* parent = nullptr);

    void OnGet();
    void OnGetFromInput();
    void OnParse();
    void OnSet();
    void OnChannelChange();
    void OnClickTree(QTreeWidgetItem* item);
    void OnContextMenu(const QPoint& pos);
    void OnCommand(int command);
    void OnDeleteElement();
    void OnAddElement();
    void OnAddDescriptor();
    void OnDeleteDescriptor();
    void OnDeleteProgram();
    void OnDeleteService();
    // Bound to their commands but offered by no menu.
    void OnInsertDescriptor();
    void OnRemoveDescriptor();

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    CMuxPsiModel& Model() { return m_model; }
    CMuxPsiChain& Chain() { return m_chain; }
    // The widget item that shows a model item (null when none).
    QTreeWidgetItem* WidgetItem(const PsiItem* item) const;
    PsiItem* ModelItem(const QTreeWidgetItem* item) const;
    // Brings the tree control in step with the model.
    void SyncTree();
    // The context menu's entry for the item under a right-click (what OnContextMenu would offer).
    PsiMenuEntry MenuEntryAt(const QPoint& pos) const;

    QComboBox* m_channelCombo;
    QLabel* m_channelLabel;
    QTreeWidget* m_tree;
    QLineEdit* m_nameEdit;
    QLineEdit* m_valueEdit;
    QPushButton* m_getButton;
    QPushButton* m_setButton;
    QPushButton* m_getFromInputButton;
    QPushButton* m_parseButton;
    QLabel* m_nameLabel;
    QLabel* m_valueLabel;

    // Test seam: dialogs of the Add commands are run through these when set.
    std::function<bool(class CAddElementDlg&)> m_runElementDialog;
    std::function<bool(class CAddDescriptorDlg&)> m_runDescriptorDialog;
    std::function<bool(class CDescriptorDlg&)> m_runInsertDialog;
    // ... and the context menu: returns the chosen command, 0 for none.
    std::function<int(const PsiMenuEntry&, const QPoint&)> m_runMenu;

protected:
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep& step) override;
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    void ClearTables();
    void FillChannels(int count, bool letters);
    void RebuildPmtsFromFirstPage();
    void StartRead(uint8_t channel, int sourceFlag, bool parse);
    // The Value box into the current item; false when the value was refused.
    bool ApplyValueBox();
    void ShowItem(PsiItem* item);
    void Rebuild();
    void Refresh(QTreeWidgetItem* widget, const PsiItem* item);
    uint8_t ChannelByte() const;

    CMuxPsiModel m_model;
    CMuxPsiChain m_chain{m_model};
    QPointer<CFormTemplateView> m_firstPageCopy;
    PsiItem* m_contextItem = nullptr;
    std::unordered_map<const PsiItem*, QTreeWidgetItem*> m_widgets;
    std::unordered_map<int, QIcon> m_icons;  // the image list, drawn once per page
    uint64_t m_shownRevision = ~0ull;
    bool m_syncing = false;
};

}  // namespace nms
