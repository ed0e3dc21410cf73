#include "pages/mux/mux_pid_forward_view.h"

#include <QTreeWidget>

#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/mux/add_pid_dlg.h"

namespace nms {

CMuxPidForwardView::CMuxPidForwardView(QWidget* parent)
    : CPidPassthroughView(parent, false), m_logic(std::make_unique<PidForwardLogic>(0)) {}

CMuxPidForwardView::~CMuxPidForwardView() = default;

void CMuxPidForwardView::OnInitialUpdate() {
    if (m_logic->PageParam() != m_pageParam)
        m_logic = std::make_unique<PidForwardLogic>(m_pageParam);
    ShowLayout();
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

void CMuxPidForwardView::OnAddPid() {
    if (!HasRoom())
        return;
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

void CMuxPidForwardView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    const size_t before = m_logic->Rows().size();
    PageStep step = ReplyStep(*m_logic, reply, IsBusy());
    if (m_logic->Rows().size() != before)
        ShowRows();
    Carry(step);
}

}  // namespace nms
