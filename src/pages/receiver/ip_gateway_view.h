// The single page of the IP-ASI gateway: its ASI-to-IP output and IP-to-ASI input settings and local
// network settings (one 102-byte block, 0x58/0x59), and the lock state and bitrates of both directions
// from the 0x40 status poll, with the highest and lowest rate seen since the last Get.
#pragma once

#include <array>

#include "pagebase/form_template_view.h"
#include "pages/receiver/gateway_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nms {

class CIPAddressCtrl;

class CIPGateWayView1 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CIPGateWayView1(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnGet();
    void OnSet();
    void OnAutoGenerate();

    const IpAsiGatewayLogic& Logic() const { return m_logic; }

    CIPAddressCtrl *m_destination = nullptr, *m_input = nullptr, *m_input2 = nullptr, *m_local = nullptr,
                   *m_gateway = nullptr, *m_mask = nullptr;
    QLineEdit *m_destinationPort = nullptr, *m_inputPort = nullptr, *m_input2Port = nullptr,
              *m_sourcePort = nullptr, *m_mac = nullptr;
    QCheckBox *m_outputEnable = nullptr, *m_inputEnable = nullptr;
    QComboBox *m_mode = nullptr, *m_protocol = nullptr;
    std::array<QLabel*, 2> m_lamps{}, m_lockTexts{};
    std::array<QLineEdit*, 2> m_current{}, m_max{}, m_min{};
    QPushButton *m_autoGenerate = nullptr, *m_get = nullptr, *m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;

private:
    void ApplyVariant();
    IpAsiGatewayForm Form() const;
    void ShowForm(const IpAsiGatewayForm& f);
    void ShowStatus(const IpAsiGatewayStatus& s);

    IpAsiGatewayLogic m_logic;
    std::array<GatewayRates, 2> m_rates{};
    bool m_rateSeen = false;
    QLabel *m_destinationLabel = nullptr, *m_destinationPortLabel = nullptr, *m_input2Label = nullptr,
           *m_input2PortLabel = nullptr, *m_modeLabel = nullptr, *m_protocolLabel = nullptr;
};

}  // namespace nms
