#include "pages/receiver/gateway_page_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "pages/encoder/encoder_public_view.h"
#include "pages/receiver/tuner_records.h"
#include "platform/ip_address_edit.h"

namespace nms {

CGatewayPageView::CGatewayPageView(GatewayBlockLogic& logic, QWidget* parent)
    : CFormTemplateView(parent), m_block(logic) {}

void CGatewayPageView::SetIp(CIPAddressCtrl* c, const IpBytes& a) {
    c->SetAddress(a[0], a[1], a[2], a[3]);
}

IpBytes CGatewayPageView::GetIp(const CIPAddressCtrl* c) {
    IpBytes a{};
    c->GetAddress(a[0], a[1], a[2], a[3]);
    return a;
}

QGroupBox* CGatewayPageView::MakeLocalGroup(QGridLayout** grid) {
    auto* local = new QGroupBox("Local IP Adress", this);
    *grid = new QGridLayout(local);
    m_local = new CIPAddressCtrl(local);
    m_mask = new CIPAddressCtrl(local);
    m_gateway = new CIPAddressCtrl(local);
    m_mac = new QLineEdit(local);
    m_mac->setMaxLength(17);
    m_sourcePort = new QLineEdit(local);
    m_autoGenerate = new QPushButton("Auto Generate", local);
    connect(m_autoGenerate, &QPushButton::clicked, this, &CGatewayPageView::OnAutoGenerate);
    return local;
}

QHBoxLayout* CGatewayPageView::MakeGetSetRow() {
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    m_set->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    connect(m_get, &QPushButton::clicked, this, [this] { OnGet(); });
    connect(m_set, &QPushButton::clicked, this, &CGatewayPageView::OnSet);
    return buttons;
}

void CGatewayPageView::StartStatusPoll() {
    SetTimer(kEncoderStatusTimerId, kGatewayPollMs);
}

void CGatewayPageView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CGatewayPageView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_block.WaitEnded();
    CEncoderPublicView::StatusPollTimer(*this, id);
}

void CGatewayPageView::OnStepRefused(const PageStep&) {
    m_block.Refused();
}

void CGatewayPageView::OnGet() {
    if (DeviceOnline())
        Carry(m_block.Get());
}

bool CGatewayPageView::DoDataExchange(bool collect) {
    if (collect) {
        const std::string message = StoreForm();
        if (!message.empty()) {
            Carry(PageStep::Message(message));
            return false;
        }
        return true;
    }
    if (m_block.HasRead())
        ShowForm();
    return true;
}

void CGatewayPageView::OnAutoGenerate() {
    m_mac->setText(QString::fromStdString(MacTextFromNow()));
}

void CGatewayPageView::OnSet() {
    if (!m_block.HasRead())
        return;
    if (NewMacOnSet())
        OnAutoGenerate();
    if (!UpdateData(true))
        return;
    if (DeviceOnline())
        Carry(m_block.Write());
}

void CGatewayPageView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    if (reply.Command() == kCmdEncoderStatus) {
        ShowStatusReply(reply);
        return;
    }
    const PageStep step = m_block.HandleReply(reply);
    if (step.IsEmpty())
        return;
    if (reply.Command() == GatewayBlockLogic::kCmdGatewayRead) {
        BlockRead();
        m_set->setEnabled(true);
    }
    Carry(step);
}

}  // namespace nms
