// The base of the two IP gateway pages: the device's block read when the page is bound or shown and by
// "Get", written by "Set" (the form stored into it first), the replies of both requests and the end of
// their wait, the gateway status (0x40) polled every 1500 ms, and the MAC made from the local time.
#pragma once

#include <string>

#include "pages/receiver/gateway_logic.h"
#include "pages/receiver/request_page_view.h"

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace nms {

class CIPAddressCtrl;

class CGatewayPageView : public CRequestPageView {
    Q_OBJECT
public:
    void OnSet();
    // "Auto Generate": only the MAC text changes; edits not yet stored stay as typed.
    void OnAutoGenerate();

    // The "Local IP Adress" group's controls.
    CIPAddressCtrl *m_local = nullptr, *m_mask = nullptr, *m_gateway = nullptr;
    QLineEdit *m_mac = nullptr, *m_sourcePort = nullptr;
    QPushButton *m_autoGenerate = nullptr, *m_get = nullptr, *m_set = nullptr;

protected:
    CGatewayPageView(GatewayBlockLogic& logic, QWidget* parent);

    RequestLogic* Requests() override { return &m_block; }
    // The read's reply: the page's variant, and Set enabled.
    void BeforeReplyStep(const ReplyView& reply, const PageStep& step) override;
    // The status (0x40).
    void OnOtherReply(const ReplyView& reply) override;
    // The status poll.
    void OnPageTimer(int id) override;
    bool DoDataExchange(bool collect) override;

    // The initial update's part: the status poll.
    void StartStatusPoll();
    // The "Local IP Adress" group with its controls (the page places them in the group's grid), and the
    // "Get" / "Set" row (Set stays disabled until the block was read: a block never read would go out as
    // zeros).
    QGroupBox* MakeLocalGroup(QGridLayout** grid);
    QHBoxLayout* MakeGetSetRow();

    // The form into the block: the message of the first value that does not fit, or empty.
    virtual std::string StoreForm() = 0;
    // The block into the form.
    virtual void ShowForm() = 0;
    // A block read arrived (before the form shows it).
    virtual void BlockRead() {}
    // A status reply (0x40).
    virtual void ShowStatusReply(const ReplyView& reply) = 0;
    // Whether every Set first makes a new MAC text.
    virtual bool NewMacOnSet() const { return false; }

    static void SetIp(CIPAddressCtrl* control, const IpBytes& address);
    static IpBytes GetIp(const CIPAddressCtrl* control);

private:
    GatewayBlockLogic& m_block;
};

}  // namespace nms
