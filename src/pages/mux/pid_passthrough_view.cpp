#include "pages/mux/pid_passthrough_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pagebase/late_reply.h"
#include "platform/prompt.h"

namespace nms {

CPidPassthroughView::CPidPassthroughView(QWidget* parent, bool titled) : CFormTemplateView(parent) {
    if (titled)
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
    MakeButtons(this, false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_get, m_set, m_add, m_edit, m_delete, m_empty})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    if (m_title) {
        auto* left = new QVBoxLayout;
        left->addWidget(m_title);
        left->addWidget(m_list, 1);
        row->addLayout(left, 1);
    } else {
        row->addWidget(m_list, 1);
    }
    row->addLayout(buttons);
}

CPidPassthroughView::~CPidPassthroughView() = default;

void CPidPassthroughView::ShowLayout() {
    if (m_title)
        m_title->setText("PID Passthrough Table");
    SetCaptions();
    const auto columns = Table().Columns();
    QStringList headers;
    for (const auto& c : columns)
        headers << QString::fromStdString(c.first);
    m_list->setColumnCount(static_cast<int>(columns.size()));
    m_list->setHeaderLabels(headers);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        m_list->setColumnWidth(i, columns[i].second);
    ShowRows();
}

bool CPidPassthroughView::HasRoom() {
    if (!Table().TableFull())
        return true;
    ShowMessageBox("PID passthrough table must be less than 200 !");
    return false;
}

int CPidPassthroughView::SelectedRow() const {
    const auto selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

void CPidPassthroughView::OnStepRefused(const PageStep&) {
    NothingLate(Table());
}

void CPidPassthroughView::OnGet() {
    if (!DeviceOnline())
        return;
    PageStep step = Table().Get();
    ShowRows();
    Carry(step);
}

void CPidPassthroughView::OnSet() {
    if (!DeviceOnline())
        return;
    Carry(Table().Set());
}

void CPidPassthroughView::OnDelete() {
    if (Table().Delete(SelectedRow()))
        ShowRows();
}

void CPidPassthroughView::OnEmpty() {
    if (!Confirm("Sure to empty all PID ?"))
        return;
    Table().Empty();
    ShowRows();
}

void CPidPassthroughView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CPidPassthroughView::OnTimer(int id) {
    // The exchange ended without its reply: a late one is shown but continues nothing.
    if (id == kWaitTimerId)
        Table().WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
