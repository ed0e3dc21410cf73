// The TS-over-IP page of the tuner-to-IP gateways, modulators and receivers and the "IP IN" page of the
// IP-input modulators and multiplexers: per channel a destination address, port and enable flag in tabs of
// sixteen rows, and the device's local network settings; read with 0x58, written with 0x59, and on the
// "IP IN" pages the channel states polled with 0x26 every second.
#pragma once

#include <array>
#include <memory>

#include "pages/receiver/multi_ip_logic.h"
#include "pages/receiver/request_page_view.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace nms {

class CIPAddressCtrl;

class CMultiIPout : public CRequestPageView {
    Q_OBJECT
public:
    explicit CMultiIPout(QWidget* parent = nullptr);
    ~CMultiIPout() override;

    void OnInitialUpdate() override;
    void OnSet();
    void OnGenerateMac();
    void OnTabChange(int tab);
    void OnEnableAll(bool right, bool checked);
    void OnEnableAllLeft(bool checked) { OnEnableAll(false, checked); }
    void OnEnableAllRight(bool checked) { OnEnableAll(true, checked); }
    void OnIpCopy(bool right);
    void OnIpCopyRows1To8() { OnIpCopy(false); }
    void OnIpCopyRows9To16() { OnIpCopy(true); }

    const MultiIpLogic& Logic() const { return *m_logic; }
    int CurrentTab() const { return m_logic->Tab(); }

    QTabBar* m_tabs = nullptr;
    CIPAddressCtrl *m_sourceIp = nullptr, *m_mask = nullptr, *m_gateway = nullptr;
    QLineEdit *m_sourcePort = nullptr, *m_mac = nullptr, *m_channelCount = nullptr;
    QPushButton *m_generateMac = nullptr, *m_get = nullptr, *m_set = nullptr;
    QRadioButton *m_rtp = nullptr, *m_udp = nullptr;
    std::array<QLabel*, kIpRowsPerTab> m_numbers{}, m_states{};
    std::array<CIPAddressCtrl*, kIpRowsPerTab> m_ips{};
    std::array<QLineEdit*, kIpRowsPerTab> m_ports{};
    std::array<QCheckBox*, kIpRowsPerTab> m_enables{};
    std::array<QCheckBox*, 2> m_enableAll{};
    std::array<QPushButton*, 2> m_ipCopy{};
    std::array<QLabel*, 2> m_lockHeadings{};

protected:
    RequestLogic* Requests() override { return m_logic.get(); }
    // A Get reply shows tab 0 with its tabs rebuilt before the form.
    void BeforeReplyStep(const ReplyView& reply, const PageStep& step) override;
    // The channel states (0x26).
    void OnOtherReply(const ReplyView& reply) override;
    // The state poll of the "IP IN" pages.
    void OnPageTimer(int id) override;
    bool DoDataExchange(bool collect) override;

private:
    // Show mode: the tab's values into the form (rebuild: a Get reply may rebuild the tabs). Store mode:
    // the form into the block; false with the message shown when a value does not fit.
    void ShowTab(int tab, bool rebuild);
    bool StoreTab();
    void ApplyLayout();
    MultiIpForm Form() const;

    std::unique_ptr<MultiIpLogic> m_logic;
    std::array<QLabel*, 4> m_headings{};  // "Destination IP:" and "Port:" of both columns
    QGridLayout* m_left = nullptr;
};

}  // namespace nms
