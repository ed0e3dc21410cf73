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
    : CRequestPageView(parent), m_block(logic) {}

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

void CGatewayPageView::OnPageTimer(int id) {
    CEncoderPublicView::StatusPollTimer(*this, id);
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

void CGatewayPageView::OnOtherReply(const ReplyView& reply) {
    if (reply.Command() == kCmdEncoderStatus)
        ShowStatusReply(reply);
}

void CGatewayPageView::BeforeReplyStep(const ReplyView& reply, const PageStep&) {
    if (reply.Command() != GatewayBlockLogic::kCmdGatewayRead)
        return;
    BlockRead();
    m_set->setEnabled(true);
}

}  // namespace nms
