#include "pages/mux/mux_pid_forward_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/add_pid_dlg.h"
#include "platform/prompt.h"

namespace nms {

CMuxPidForwardView::CMuxPidForwardView(QWidget* parent)
    : CFormTemplateView(parent), m_logic(std::make_unique<PidForwardLogic>(0)) {
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    // Grid lines; a style sheet on items needs the selection colours spelled out too.
    m_list->setStyleSheet(
        "QTreeView::item { border: 1px solid #d0d0d0; }"
        "QTreeView::item:selected { background: palette(highlight); color: "
        "palette(highlighted-text); }");
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
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_list, 1);
    row->addLayout(buttons);

    connect(m_get, &QPushButton::clicked, this, &CMuxPidForwardView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CMuxPidForwardView::OnSet);
    connect(m_add, &QPushButton::clicked, this, &CMuxPidForwardView::OnAddPid);
    connect(m_edit, &QPushButton::clicked, this, &CMuxPidForwardView::OnEdit);
    connect(m_delete, &QPushButton::clicked, this, &CMuxPidForwardView::OnDelete);
    connect(m_empty, &QPushButton::clicked, this, &CMuxPidForwardView::OnEmpty);
}

CMuxPidForwardView::~CMuxPidForwardView() = default;

void CMuxPidForwardView::OnInitialUpdate() {
    if (m_logic->PageParam() != m_pageParam)
        m_logic = std::make_unique<PidForwardLogic>(m_pageParam);
    m_get->setText("Get");
    m_set->setText("Set");
    m_add->setText("Add PID");
    m_edit->setText("Edit");
    m_delete->setText("Delete");
    m_empty->setText("Empty");
    // Exactly the variant's columns, whatever an earlier binding left.
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

void CMuxPidForwardView::ShowRows() {
    const bool four = m_logic->IsFourOutput();
    const bool two = m_logic->IsTwoTable();
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const auto& r : m_logic->Rows()) {
        QStringList texts = {QString::fromStdString(r.asi), QString::fromStdString(r.oldPid),
                             QString::fromStdString(r.newPid)};
        if (two || four)
            texts << QString::fromStdString(r.outAsi);
        if (!two)
            texts << QString::fromStdString(r.c);
        items << new QTreeWidgetItem(texts);
    }
    m_list->addTopLevelItems(items);
}

int CMuxPidForwardView::SelectedRow() const {
    const auto selected = m_list->selectedItems();
    if (selected.isEmpty())
        return -1;
    return m_list->indexOfTopLevelItem(selected.first());
}

void CMuxPidForwardView::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void CMuxPidForwardView::OnGet() {
    if (!DeviceOnline())
        return;
    PageStep step = m_logic->Get();
    ShowRows();
    Carry(step);
}

void CMuxPidForwardView::OnSet() {
    if (!DeviceOnline())
        return;
    Carry(m_logic->Set());
}

void CMuxPidForwardView::OnAddPid() {
    if (m_logic->TableFull()) {
        ShowMessageBox("PID passthrough table must be less than 200 !");
        return;
    }
    CAddPidDlg dlg(this);
    dlg.m_fields = m_logic->AddFields();
    if (dlg.DoModal() != 1)
        return;
    m_logic->Rows().push_back(m_logic->RowFrom(dlg.m_fields));
    ShowRows();
}

void CMuxPidForwardView::OnEdit() {
    const int row = SelectedRow();
    CAddPidDlg dlg(this);
    if (!m_logic->EditFields(row, &dlg.m_fields))
        return;
    if (dlg.DoModal() != 1 || row >= static_cast<int>(m_logic->Rows().size()))
        return;
    m_logic->Rows()[row] = m_logic->RowFrom(dlg.m_fields);
    ShowRows();
    if (QTreeWidgetItem* item = m_list->topLevelItem(row))
        item->setSelected(true);
}

void CMuxPidForwardView::OnDelete() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_logic->Rows().size()))
        return;
    m_logic->Rows().erase(m_logic->Rows().begin() + row);
    ShowRows();
}

void CMuxPidForwardView::OnEmpty() {
    if (!Confirm("Sure to empty all PID ?"))
        return;
    m_logic->Rows().clear();
    ShowRows();
}

void CMuxPidForwardView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CMuxPidForwardView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    const size_t before = m_logic->Rows().size();
    PageStep step = m_logic->HandleReply(reply);
    if (m_logic->Rows().size() != before)
        ShowRows();
    Carry(step);
}

void CMuxPidForwardView::OnTimer(int id) {
    // The exchange ended without its reply: a late one finds nothing to continue.
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
