#include "pages/mux/mux_pid_forward_view1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/add_pid_multi_dlg.h"
#include "platform/prompt.h"

namespace nms {

CMuxPidForwardView1::CMuxPidForwardView1(QWidget* parent)
    : CFormTemplateView(parent), m_logic(std::make_unique<PidSegmentLogic>(0, 0)) {
    m_title = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    // Grid lines; a style sheet on items needs the selection colours spelled out too.
    m_list->setStyleSheet(
        "QTreeView::item { border: 1px solid #d0d0d0; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }");
    m_get = new QPushButton(this);
    m_set = new QPushButton(this);
    m_add = new QPushButton(this);
    m_edit = new QPushButton(this);
    m_delete = new QPushButton(this);
    m_empty = new QPushButton(this);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_get, m_set, m_add, m_edit, m_delete, m_empty})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_title);
    left->addWidget(m_list, 1);
    auto* row = new QHBoxLayout(this);
    row->addLayout(left, 1);
    row->addLayout(buttons);

    connect(m_get, &QPushButton::clicked, this, &CMuxPidForwardView1::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CMuxPidForwardView1::OnSet);
    connect(m_add, &QPushButton::clicked, this, &CMuxPidForwardView1::OnAddPid);
    connect(m_edit, &QPushButton::clicked, this, &CMuxPidForwardView1::OnEdit);
    connect(m_delete, &QPushButton::clicked, this, &CMuxPidForwardView1::OnDelete);
    connect(m_empty, &QPushButton::clicked, this, &CMuxPidForwardView1::OnEmpty);
}

CMuxPidForwardView1::~CMuxPidForwardView1() = default;

void CMuxPidForwardView1::OnInitialUpdate() {
    // Every binding starts with an empty list and one module; the device type decides some output counts.
    if (!m_logic->Waiting())
        m_logic = std::make_unique<PidSegmentLogic>(m_pageParam, m_device ? m_device->typeCode : 0);
    m_title->setText("PID Passthrough Table");
    m_add->setText("Add PID");
    m_delete->setText("Delete");
    m_edit->setText("Edit");
    m_empty->setText("Empty");
    m_get->setText("Get");
    m_set->setText("Set");
    const auto columns = m_logic->Columns();
    QStringList headers;
    for (const auto& c : columns)
        headers << QString::fromStdString(c.first);
    m_list->setColumnCount(static_cast<int>(columns.size()));
    m_list->setHeaderLabels(headers);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        m_list->setColumnWidth(i, columns[i].second);
    ShowRows();
}

void CMuxPidForwardView1::ShowRows() {
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const auto& r : m_logic->Rows()) {
        auto* item = new QTreeWidgetItem(
            QStringList{QString::fromStdString(r.index), QString::fromStdString(r.input),
                        QString::fromStdString(r.oldPid), QString::fromStdString(r.newPid),
                        QString::fromStdString(r.output), QString()});
        item->setData(0, Qt::UserRole, r.mask);
        items << item;
    }
    m_list->addTopLevelItems(items);
}

int CMuxPidForwardView1::SelectedRow() const {
    const auto selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

void CMuxPidForwardView1::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void CMuxPidForwardView1::OnGet() {
    if (!DeviceOnline())
        return;
    PageStep step = m_logic->Get();
    ShowRows();
    Carry(step);
}

void CMuxPidForwardView1::OnSet() {
    if (!DeviceOnline())
        return;
    Carry(m_logic->Set());
}

void CMuxPidForwardView1::OnAddPid() {
    if (m_logic->TableFull()) {
        ShowMessageBox("PID passthrough table must be less than 200 !");
        return;
    }
    CAddPidMultiDlg dlg(this);
    dlg.m_fields = m_logic->AddFields();
    if (dlg.DoModal() != 1)
        return;
    m_logic->Add(dlg.m_fields);
    ShowRows();
}

void CMuxPidForwardView1::OnEdit() {
    const int row = SelectedRow();
    CAddPidMultiDlg dlg(this);
    if (!m_logic->EditFields(row, &dlg.m_fields))
        return;
    if (dlg.DoModal() != 1 || !m_logic->Edit(row, dlg.m_fields))
        return;
    ShowRows();
    if (QTreeWidgetItem* item = m_list->topLevelItem(row))
        item->setSelected(true);
}

void CMuxPidForwardView1::OnDelete() {
    if (m_logic->Delete(SelectedRow()))
        ShowRows();
}

void CMuxPidForwardView1::OnEmpty() {
    if (!Confirm("Sure to empty all PID ?"))
        return;
    m_logic->Empty();
    ShowRows();
}

void CMuxPidForwardView1::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CMuxPidForwardView1::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    const bool waiting = m_logic->Waiting();
    PageStep step = m_logic->HandleReply(reply);
    if (waiting && !m_logic->Waiting())
        ShowRows();
    Carry(step);
}

void CMuxPidForwardView1::OnTimer(int id) {
    // The transfer ended without its reply: a late one finds nothing to continue.
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
