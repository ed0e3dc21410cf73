#include "pagebase/block_page_view.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "pagebase/form_binder.h"

namespace nms {

CBlockPageView::CBlockPageView(QWidget* parent) : CFormTemplateView(parent) {}

std::optional<int> CBlockPageView::Selection() const {
    if (!m_channel || m_channel->currentIndex() < 0)
        return std::nullopt;
    return m_channel->currentIndex();
}

void CBlockPageView::OnGet() {
    IBlockLogic* logic = PageLogic();
    if (logic && MayGet())
        Carry(logic->Get(Selection()));
}

void CBlockPageView::OnSet() {
    IBlockLogic* logic = PageLogic();
    FormBinder* form = PageForm();
    if (!logic || !form || !MaySet())
        return;
    const PageStep step = logic->Set(form->Inputs(), Selection());
    form->Focus(logic->FailedField());
    Carry(step);
}

void CBlockPageView::OnShowWindow(bool shown) {
    const bool poll = m_pollTimerId && m_pollWhileShown;
    if (!shown) {
        if (poll)
            KillTimer(m_pollTimerId);
        return;
    }
    if (!m_device)
        return;
    OnGet();
    if (poll)
        SetTimer(m_pollTimerId, m_pollMs);
}

void CBlockPageView::OnTimer(int id) {
    IBlockLogic* logic = PageLogic();
    if (logic && m_pollTimerId && id == m_pollTimerId && MayPoll())
        Carry(logic->Poll());
    if (logic && id == kWaitTimerId)
        logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CBlockPageView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    IBlockLogic* logic = PageLogic();
    if (!logic || !device || device != m_device || !reply.IsValid())
        return;
    // A reply after its wait ran out is still shown, block and all, but starts nothing (late_reply.h).
    Carry(ReplyStep(*logic, reply, IsBusy(), PageStep::kRefreshAll));
}

void CBlockPageView::OnRefresh(unsigned what, bool) {
    if (what & PageStep::kRefreshAll)
        ShowBlock();
}

void CBlockPageView::OnStepRefused(const PageStep&) {
    // Nothing went out, so nothing can come late.
    if (IBlockLogic* logic = PageLogic())
        NothingLate(*logic);
}

void CBlockPageView::RefuseSwitch(const PageStep& refused) {
    if (refused.messages.empty())
        return;
    Carry(refused);
    if (FormBinder* form = PageForm(); form && PageLogic())
        form->Focus(PageLogic()->FailedField());
}

void CBlockPageView::MakeGetSetButtons() {
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    connect(m_get, &QPushButton::clicked, this, &CBlockPageView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CBlockPageView::OnSet);
}

QHBoxLayout* CBlockPageView::AddGetSetRow(QBoxLayout* page) {
    MakeGetSetButtons();
    auto* row = new QHBoxLayout;
    row->addWidget(m_get);
    row->addWidget(m_set);
    row->addStretch();
    page->addLayout(row);
    return row;
}

QHBoxLayout* CBlockPageView::AddChannelRow(QBoxLayout* page, const QString& caption) {
    m_channelLabel = new QLabel(caption, this);
    m_channel = new QComboBox(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_channelLabel);
    row->addWidget(m_channel);
    row->addStretch();
    page->addLayout(row);
    connect(m_channel, &QComboBox::activated, this, &CBlockPageView::OnGet);
    return row;
}

void CBlockPageView::ShowChannels(const std::vector<std::string>& names) {
    m_channel->clear();
    for (const std::string& name : names)
        m_channel->addItem(QString::fromStdString(name));
    m_channel->setCurrentIndex(names.empty() ? -1 : 0);
    m_channelLabel->setVisible(!names.empty());
    m_channel->setVisible(!names.empty());
}

void CBlockPageView::SetStatusPoll(int timerId, int periodMs, bool whileShown) {
    m_pollTimerId = timerId;
    m_pollMs = periodMs;
    m_pollWhileShown = whileShown;
}

}  // namespace nms
