#include "pages/receiver/asi2ip_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pagebase/lamp.h"
#include "platform/ip_address_edit.h"

namespace nms {

Casi2ip::Casi2ip(QWidget* parent) : CGatewayPageView(m_logic, parent) {
    auto* rows = new QGridLayout;
    for (int k = 0; k < kAsi2IpChannels; ++k) {
        const size_t i = size_t(k);
        m_lamps[i] = MakeLamp(this);
        m_bitrates[i] = new QLineEdit(this);
        m_bitrates[i]->setReadOnly(true);
        m_bitrates[i]->setMaximumWidth(80);
        m_ips[i] = new CIPAddressCtrl(this);
        m_ports[i] = new QLineEdit(this);
        m_ports[i]->setMaximumWidth(70);
        m_enables[i] = new QCheckBox("Enable", this);
        int c = 0;
        rows->addWidget(new QLabel(QString("Channel-%1").arg(k + 1), this), k, c++);
        rows->addWidget(m_lamps[i], k, c++);
        rows->addWidget(new QLabel("BitRate:", this), k, c++);
        rows->addWidget(m_bitrates[i], k, c++);
        rows->addWidget(new QLabel("Mbps", this), k, c++);
        rows->addWidget(new QLabel("Destination IP:", this), k, c++);
        rows->addWidget(m_ips[i], k, c++);
        rows->addWidget(new QLabel("Port:", this), k, c++);
        rows->addWidget(m_ports[i], k, c++);
        rows->addWidget(m_enables[i], k, c++);
    }
    QGridLayout* lg = nullptr;
    QGroupBox* local = MakeLocalGroup(&lg);
    lg->addWidget(new QLabel("IP Adress:", local), 0, 0);
    lg->addWidget(m_local, 0, 1);
    lg->addWidget(new QLabel("Subnet Mask:", local), 0, 2);
    lg->addWidget(m_mask, 0, 3);
    lg->addWidget(new QLabel("MAC Adress:", local), 1, 0);
    lg->addWidget(m_mac, 1, 1);
    lg->addWidget(m_autoGenerate, 1, 2);
    lg->addWidget(new QLabel("Source Port:", local), 2, 0);
    lg->addWidget(m_sourcePort, 2, 1);
    // The gateway is not shown; it goes back to the device as it came.
    auto* gatewayLabel = new QLabel("Gateway:", local);
    lg->addWidget(gatewayLabel, 2, 2);
    lg->addWidget(m_gateway, 2, 3);
    gatewayLabel->hide();
    m_gateway->hide();
    QHBoxLayout* buttons = MakeGetSetRow();
    auto* page = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addLayout(rows);
    top->addStretch();
    page->addLayout(top);
    page->addWidget(local, 0, Qt::AlignLeft);
    page->addLayout(buttons);
    page->addStretch();
}

void Casi2ip::SetDevice(DeviceRecord* device) {
    CFormTemplateView::SetDevice(device);
    OnGet();
}

void Casi2ip::OnInitialUpdate() {
    for (QLabel* lamp : m_lamps)
        SetLamp(lamp, false);
    StartStatusPoll();
}

void Casi2ip::OnGet() {
    // Binding and showing both read the records: a Get already waiting is not sent again over itself.
    if (!IsBusy())
        CGatewayPageView::OnGet();
}

Asi2IpForm Casi2ip::Form() const {
    Asi2IpForm f;
    for (size_t i = 0; i < f.rows.size(); ++i)
        f.rows[i] = {GetIp(m_ips[i]), m_ports[i]->text().trimmed().toStdString(), m_enables[i]->isChecked()};
    f.local = GetIp(m_local);
    f.gateway = GetIp(m_gateway);
    f.mask = GetIp(m_mask);
    f.sourcePort = m_sourcePort->text().trimmed().toStdString();
    f.mac = m_mac->text().toStdString();
    return f;
}

void Casi2ip::ShowForm() {
    const Asi2IpForm f = m_logic.Form();
    for (size_t i = 0; i < f.rows.size(); ++i) {
        SetIp(m_ips[i], f.rows[i].ip);
        m_ports[i]->setText(QString::fromStdString(f.rows[i].port));
        m_enables[i]->setChecked(f.rows[i].enable);
    }
    SetIp(m_local, f.local);
    SetIp(m_gateway, f.gateway);
    SetIp(m_mask, f.mask);
    m_sourcePort->setText(QString::fromStdString(f.sourcePort));
    m_mac->setText(QString::fromStdString(f.mac));
}

void Casi2ip::ShowStatusReply(const ReplyView& reply) {
    Asi2IpStatus s;
    if (!ReadAsi2IpStatus(reply, &s))
        return;
    for (int k = 0; k < kAsi2IpChannels; ++k) {
        m_bitrates[size_t(k)]->setText(QString::fromStdString(s.rates[size_t(k)]));
        SetLamp(m_lamps[size_t(k)], s.locks >> k & 1);
    }
}

}  // namespace nms
