// The single page of the eight-channel ASI-to-IP gateway: each ASI input's destination address, port and
// enable flag, and the device's local network settings (eight 124-byte records, 0x58/0x59), with each
// channel's lock and bitrate from the 0x40 status poll.
#pragma once

#include <array>

#include "pages/receiver/gateway_page_view.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace nms {

class CIPAddressCtrl;

class Casi2ip : public CGatewayPageView {
    Q_OBJECT
public:
    explicit Casi2ip(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnInitialUpdate() override;
    void OnGet() override;

    const Asi2IpLogic& Logic() const { return m_logic; }

    std::array<QLabel*, kAsi2IpChannels> m_lamps{};
    std::array<QLineEdit*, kAsi2IpChannels> m_bitrates{}, m_ports{};
    std::array<CIPAddressCtrl*, kAsi2IpChannels> m_ips{};
    std::array<QCheckBox*, kAsi2IpChannels> m_enables{};

protected:
    std::string StoreForm() override { return m_logic.Store(Form()); }
    void ShowForm() override;
    void ShowStatusReply(const ReplyView& reply) override;

private:
    Asi2IpForm Form() const;

    Asi2IpLogic m_logic;
};

}  // namespace nms
