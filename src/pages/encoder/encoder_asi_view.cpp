#include "pages/encoder/encoder_asi_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pages/mux/edit_program_dlg.h"
#include "platform/codepage.h"

namespace nms {
namespace {

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const ProgramTreeNode& node) {
    auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(GbkToUtf8(node.text))});
    item->setData(0, Qt::UserRole, node.data);
    for (const ProgramTreeNode& child : node.children)
        AddNode(item, child);
    item->setExpanded(node.expanded);
    return item;
}

}  // namespace

CEncoderASIView::CEncoderASIView(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = new QTreeWidget(this);
    m_outputTree = new QTreeWidget(this);
    for (QTreeWidget* tree : {m_inputTree, m_outputTree}) {
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(true);
        tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    }
    m_analyze = new QPushButton("Input Analyze", this);
    m_select = new QPushButton("Select", this);
    m_refreshOut = new QPushButton("Refresh Out", this);
    m_edit = new QPushButton("Edit", this);
    m_remove = new QPushButton("Remove", this);
    connect(m_analyze, &QPushButton::clicked, this, &CEncoderASIView::OnInputAnalyze);
    connect(m_select, &QPushButton::clicked, this, &CEncoderASIView::OnSelectProgram);
    connect(m_refreshOut, &QPushButton::clicked, this, &CEncoderASIView::OnRefreshOut);
    connect(m_edit, &QPushButton::clicked, this, &CEncoderASIView::OnEditProgram);
    connect(m_remove, &QPushButton::clicked, this, &CEncoderASIView::OnRemoveProgram);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("ASI", this), 0, 0);
    grid->addWidget(new QLabel("Select to Mux:", this), 0, 2);
    grid->addWidget(m_inputTree, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_select);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_outputTree, 1, 2);
    auto* left = new QHBoxLayout;
    left->addWidget(m_analyze);
    left->addStretch();
    grid->addLayout(left, 2, 0);
    auto* right = new QHBoxLayout;
    right->addWidget(m_refreshOut);
    right->addWidget(m_edit);
    right->addWidget(m_remove);
    right->addStretch();
    grid->addLayout(right, 2, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
}

CEncoderASIView::~CEncoderASIView() = default;

void CEncoderASIView::OnInitialUpdate() {
    ShowTree(m_inputTree, {});
    ShowTree(m_outputTree, {});
}

void CEncoderASIView::ShowTree(QTreeWidget* tree, const std::vector<ProgramTreeNode>& nodes) {
    tree->clear();
    auto* root = new QTreeWidgetItem(tree, {tree == m_inputTree ? "ASI IN" : "ASI OUT"});
    for (const ProgramTreeNode& node : nodes)
        AddNode(root, node);
    root->setExpanded(true);
}

int CEncoderASIView::SelectedProgram(QTreeWidget* tree) const {
    QTreeWidgetItem* item = tree->currentItem();
    if (!item || !item->parent() || item->parent()->parent())
        return 0;
    const int index = item->data(0, Qt::UserRole).toInt();
    return index >= 1 && index <= kAsiPrograms && item->text(0) != "CA Info" ? index : 0;
}

void CEncoderASIView::OnInputAnalyze() {
    Carry(m_logic.InputAnalyze());
}

void CEncoderASIView::OnRefreshOut() {
    if (DeviceOnline())
        Carry(m_logic.RefreshOut());
}

void CEncoderASIView::OnSelectProgram() {
    if (DeviceOnline())
        Carry(m_logic.Select(SelectedProgram(m_inputTree)));
}

void CEncoderASIView::OnRemoveProgram() {
    if (DeviceOnline())
        Carry(m_logic.Remove(SelectedProgram(m_outputTree)));
}

void CEncoderASIView::OnEditProgram() {
    if (!DeviceOnline())
        return;
    CEditProgramDlg dialog(this);
    if (!m_logic.BeginEdit(SelectedProgram(m_outputTree), &dialog.m_fields))
        return;
    const bool ok = m_runEdit ? m_runEdit(dialog) : dialog.DoModal() == 1;
    if (ok && DeviceOnline())
        Carry(m_logic.CommitEdit(dialog.m_fields));
}

void CEncoderASIView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnRefreshOut();
}

void CEncoderASIView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    // A reply after its wait ran out is still shown, but starts nothing (late_reply.h).
    Carry(ReplyStep(m_logic, reply, IsBusy()));
}

void CEncoderASIView::OnRefresh(unsigned what, bool refreshed) {
    if (what & EncoderAsiLogic::kRefreshInput)
        ShowTree(m_inputTree, m_logic.InputNodes());
    if (what & EncoderAsiLogic::kRefreshOutput)
        ShowTree(m_outputTree, m_logic.OutputNodes());
}

void CEncoderASIView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
