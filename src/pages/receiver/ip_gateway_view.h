// The single page of the IP-ASI gateway: its ASI-to-IP output and IP-to-ASI input settings and local
// network settings (one 102-byte block, 0x58/0x59), and the lock state and bitrates of both directions
// from the 0x40 status poll, with the highest and lowest rate seen since the last Get.
#pragma once

#include <array>

#include "pages/receiver/gateway_page_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CIPAddressCtrl;

class CIPGateWayView1 : public CGatewayPageView {
    Q_OBJECT
public:
    explicit CIPGateWayView1(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnInitialUpdate() override;
    void OnGet() override;

    const IpAsiGatewayLogic& Logic() const { return m_logic; }

    CIPAddressCtrl *m_destination = nullptr, *m_input = nullptr, *m_input2 = nullptr;
    QLineEdit *m_destinationPort = nullptr, *m_inputPort = nullptr, *m_input2Port = nullptr;
    QCheckBox *m_outputEnable = nullptr, *m_inputEnable = nullptr;
    QComboBox *m_mode = nullptr, *m_protocol = nullptr;
    std::array<QLabel*, 2> m_lamps{}, m_lockTexts{};
    std::array<QLineEdit*, 2> m_current{}, m_max{}, m_min{};

protected:
    std::string StoreForm() override { return m_logic.Store(Form()); }
    void ShowForm() override;
    // The variant of the block: input only (mode and protocol lists) or a second input.
    void BlockRead() override;
    void ShowStatusReply(const ReplyView& reply) override;
    // Every write carries a MAC made from the current time.
    bool NewMacOnSet() const override { return true; }

private:
    IpAsiGatewayForm Form() const;

    IpAsiGatewayLogic m_logic;
    QLabel *m_destinationLabel = nullptr, *m_destinationPortLabel = nullptr, *m_input2Label = nullptr,
           *m_input2PortLabel = nullptr, *m_modeLabel = nullptr, *m_protocolLabel = nullptr;
};

}  // namespace nms
