#include "pages/receiver/ip_gateway_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pagebase/form_binder.h"
#include "pagebase/lamp.h"
#include "pages/receiver/dvbs_system_view.h"
#include "platform/ip_address_edit.h"

namespace nms {
namespace {

void Show(QWidget* w, bool shown) {
    w->setVisible(shown);
    w->setEnabled(shown);
}

}  // namespace

CIPGateWayView1::CIPGateWayView1(QWidget* parent) : CGatewayPageView(m_logic, parent) {
    auto rateRow = [this](QGridLayout* g, int row, int k, QWidget* parent, const char* caption) {
        m_current[size_t(k)] = new QLineEdit(parent);
        m_max[size_t(k)] = new QLineEdit(parent);
        m_min[size_t(k)] = new QLineEdit(parent);
        g->addWidget(new QLabel(caption, parent), row, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(m_current[size_t(k)]);
        line->addWidget(new QLabel("MAX", parent));
        line->addWidget(m_max[size_t(k)]);
        line->addWidget(new QLabel("MIN", parent));
        line->addWidget(m_min[size_t(k)]);
        line->addWidget(new QLabel("Mbps", parent));
        for (QLineEdit* e : {m_current[size_t(k)], m_max[size_t(k)], m_min[size_t(k)]}) {
            e->setReadOnly(true);
            // Wide enough for a whole rate ("38.111"): squeezed into the row they showed only its end.
            KeepWideEnoughFor(e, "000.000");
            e->setMaximumWidth(80);
        }
        g->addLayout(line, row, 1, 1, 2);
    };
    auto* out = new QGroupBox("Destination IP Out Setting", this);
    auto* og = new QGridLayout(out);
    m_destination = new CIPAddressCtrl(out);
    m_destinationPort = new QLineEdit(out);
    m_outputEnable = new QCheckBox("Enable", out);
    m_destinationLabel = new QLabel("Destination IP:", out);
    m_destinationPortLabel = new QLabel("Port:", out);
    og->addWidget(m_destinationLabel, 0, 0);
    og->addWidget(m_destination, 0, 1);
    og->addWidget(m_destinationPortLabel, 1, 0);
    og->addWidget(m_destinationPort, 1, 1);
    og->addWidget(m_outputEnable, 1, 2);
    m_lamps[0] = MakeLamp(out);
    m_lockTexts[0] = new QLabel("ASI=>IP Unlock ", out);
    auto* lock1 = new QHBoxLayout;
    lock1->addWidget(m_lamps[0]);
    lock1->addWidget(m_lockTexts[0]);
    lock1->addStretch();
    og->addLayout(lock1, 2, 1);
    rateRow(og, 3, 0, out, "ASI=>IP Bitrate:");

    auto* in = new QGroupBox("IP Input Setting", this);
    auto* ig = new QGridLayout(in);
    m_input = new CIPAddressCtrl(in);
    m_inputPort = new QLineEdit(in);
    m_inputEnable = new QCheckBox("Enable", in);
    m_input2 = new CIPAddressCtrl(in);
    m_input2Port = new QLineEdit(in);
    m_input2Label = new QLabel("Input IP-2:", in);
    m_input2PortLabel = new QLabel("Input Port-2:", in);
    m_mode = new QComboBox(in);
    m_mode->addItems({"Unicast", "Multicast"});
    m_protocol = new QComboBox(in);
    m_protocol->addItems({"UDP", "RTP"});
    m_modeLabel = new QLabel("Mode:", in);
    m_protocolLabel = new QLabel("Protocol Type:", in);
    ig->addWidget(new QLabel("Input IP:", in), 0, 0);
    ig->addWidget(m_input, 0, 1);
    ig->addWidget(new QLabel("Input Port:", in), 1, 0);
    ig->addWidget(m_inputPort, 1, 1);
    ig->addWidget(m_inputEnable, 1, 2);
    ig->addWidget(m_input2Label, 2, 0);
    ig->addWidget(m_input2, 2, 1);
    ig->addWidget(m_input2PortLabel, 3, 0);
    ig->addWidget(m_input2Port, 3, 1);
    ig->addWidget(m_modeLabel, 4, 0);
    ig->addWidget(m_mode, 4, 1);
    ig->addWidget(m_protocolLabel, 5, 0);
    ig->addWidget(m_protocol, 5, 1);
    m_lamps[1] = MakeLamp(in);
    m_lockTexts[1] = new QLabel("IP=>ASI Unlock ", in);
    auto* lock2 = new QHBoxLayout;
    lock2->addWidget(m_lamps[1]);
    lock2->addWidget(m_lockTexts[1]);
    lock2->addStretch();
    ig->addLayout(lock2, 6, 1);
    rateRow(ig, 7, 1, in, "IP=>ASI Bitrate:");

    QGridLayout* lg = nullptr;
    QGroupBox* local = MakeLocalGroup(&lg);
    auto* sourceLabel = new QLabel("Source Port:", local);
    lg->addWidget(new QLabel("IP Adress:", local), 0, 0);
    lg->addWidget(m_local, 0, 1);
    lg->addWidget(new QLabel("Subnet Mask:", local), 1, 0);
    lg->addWidget(m_mask, 1, 1);
    lg->addWidget(new QLabel("Gateway:", local), 2, 0);
    lg->addWidget(m_gateway, 2, 1);
    lg->addWidget(new QLabel("MAC Adress:", local), 3, 0);
    lg->addWidget(m_mac, 3, 1);
    // Under the MAC field: beside it the two groups together were wider than the page area.
    lg->addWidget(m_autoGenerate, 4, 1, Qt::AlignLeft);
    lg->addWidget(sourceLabel, 5, 0);
    lg->addWidget(m_sourcePort, 5, 1);
    sourceLabel->hide();
    m_sourcePort->hide();

    QHBoxLayout* buttons = MakeGetSetRow();
    auto* page = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(out);
    left->addWidget(in);
    groups->addLayout(left);
    groups->addWidget(local, 0, Qt::AlignTop);
    groups->addStretch();
    page->addLayout(groups);
    page->addLayout(buttons);
    page->addStretch();
    Show(m_input2Label, false);
    Show(m_input2, false);
    Show(m_input2PortLabel, false);
    Show(m_input2Port, false);
}

void CIPGateWayView1::SetDevice(DeviceRecord* device) {
    CDVBSSystemView::SetDevice(*this, device);
}

void CIPGateWayView1::OnInitialUpdate() {
    m_outputEnable->setChecked(true);
    m_inputEnable->setChecked(true);
    m_logic.RestartRates();
    for (size_t k = 0; k < 2; ++k)
        SetLamp(m_lamps[k], false);
    m_lockTexts[0]->setText("ASI=>IP Unlock ");
    m_lockTexts[1]->setText("IP=>ASI Unlock ");
    StartStatusPoll();
}

void CIPGateWayView1::OnGet() {
    m_logic.RestartRates();
    m_max[0]->setText("0");
    m_min[0]->setText("0");
    CGatewayPageView::OnGet();
}

IpAsiGatewayForm CIPGateWayView1::Form() const {
    IpAsiGatewayForm f;
    f.destination = GetIp(m_destination);
    f.input = GetIp(m_input);
    f.input2 = GetIp(m_input2);
    f.local = GetIp(m_local);
    f.gateway = GetIp(m_gateway);
    f.mask = GetIp(m_mask);
    f.destinationPort = m_destinationPort->text().trimmed().toStdString();
    f.inputPort = m_inputPort->text().trimmed().toStdString();
    f.input2Port = m_input2Port->text().trimmed().toStdString();
    f.sourcePort = m_sourcePort->text().trimmed().toStdString();
    f.mac = m_mac->text().toStdString();
    f.outputEnable = m_outputEnable->isChecked();
    f.inputEnable = m_inputEnable->isChecked();
    f.mode = m_mode->currentIndex();
    f.protocol = m_protocol->currentIndex();
    return f;
}

void CIPGateWayView1::ShowForm() {
    const IpAsiGatewayForm f = m_logic.Form();
    SetIp(m_destination, f.destination);
    SetIp(m_input, f.input);
    SetIp(m_input2, f.input2);
    SetIp(m_local, f.local);
    SetIp(m_gateway, f.gateway);
    SetIp(m_mask, f.mask);
    m_destinationPort->setText(QString::fromStdString(f.destinationPort));
    m_inputPort->setText(QString::fromStdString(f.inputPort));
    m_input2Port->setText(QString::fromStdString(f.input2Port));
    m_sourcePort->setText(QString::fromStdString(f.sourcePort));
    m_mac->setText(QString::fromStdString(f.mac));
    m_outputEnable->setChecked(f.outputEnable);
    m_inputEnable->setChecked(f.inputEnable);
}

void CIPGateWayView1::BlockRead() {
    const bool inputOnly = m_logic.InputOnly();
    if (inputOnly) {
        m_mode->setCurrentIndex(m_logic.Block()[90] < 2 ? m_logic.Block()[90] : -1);
        m_protocol->setCurrentIndex(m_logic.Block()[91] < 2 ? m_logic.Block()[91] : -1);
        Show(m_input, true);
        Show(m_inputPort, true);
    } else {
        const bool second = m_logic.SecondInput();
        for (QWidget* w : {static_cast<QWidget*>(m_input), static_cast<QWidget*>(m_input2Label),
                           static_cast<QWidget*>(m_input2), static_cast<QWidget*>(m_input2PortLabel),
                           static_cast<QWidget*>(m_input2Port)})
            Show(w, second);
    }
    for (QWidget* w : {static_cast<QWidget*>(m_modeLabel), static_cast<QWidget*>(m_mode),
                       static_cast<QWidget*>(m_protocolLabel), static_cast<QWidget*>(m_protocol)})
        Show(w, inputOnly);
    for (QWidget* w :
         {static_cast<QWidget*>(m_destinationLabel), static_cast<QWidget*>(m_destination),
          static_cast<QWidget*>(m_destinationPortLabel), static_cast<QWidget*>(m_destinationPort),
          static_cast<QWidget*>(m_outputEnable), static_cast<QWidget*>(m_inputEnable)})
        Show(w, !inputOnly);
}

void CIPGateWayView1::ShowStatusReply(const ReplyView& reply) {
    IpAsiGatewayStatus s;
    if (!ReadIpAsiGatewayStatus(reply, &s))
        return;
    m_logic.TakeStatus(s);
    for (size_t k = 0; k < 2; ++k) {
        const GatewayRates& rates = m_logic.Rates(int(k));
        m_current[k]->setText(QString::fromStdString(rates.current));
        m_max[k]->setText(QString::fromStdString(rates.max));
        m_min[k]->setText(QString::fromStdString(rates.min));
    }
    SetLamp(m_lamps[0], s.asiToIpLock);
    SetLamp(m_lamps[1], s.ipToAsiLock);
    m_lockTexts[0]->setText(s.asiToIpLock ? "ASI=>IP Lock " : "ASI=>IP Unlock ");
    m_lockTexts[1]->setText(s.ipToAsiLock ? "IP=>ASI Lock " : "IP=>ASI Unlock ");
}

}  // namespace nms
