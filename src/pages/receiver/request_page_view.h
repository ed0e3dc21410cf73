// The base of the receiver and gateway pages that read their device when shown and by "Get", with one
// request under way at a time: the read on showing, the device's replies through the page's logic
// (RequestLogic), the end of the reply wait and a refused send. A page adds its layout, what a reply
// brings beyond the logic's step, and its own polls.
#pragma once

#include "pagebase/form_template_view.h"
#include "pages/receiver/reply_wait.h"

namespace nms {

class CRequestPageView : public CFormTemplateView {
    Q_OBJECT
public:
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    // "Get": the logic's read, for an online device.
    virtual void OnGet();

protected:
    explicit CRequestPageView(QWidget* parent = nullptr);

    // The page's logic; null while it has none.
    virtual RequestLogic* Requests() = 0;
    // A reply's step, before it is carried out: what the page lays out for it first.
    virtual void BeforeReplyStep(const ReplyView& reply, const PageStep& step) {}
    // A reply the logic did not take (status polls).
    virtual void OnOtherReply(const ReplyView& reply) {}
    // The page's timers after the wait's end was noted; the base timer handling unless the page adds its
    // own.
    virtual void OnPageTimer(int id) { CFormTemplateView::OnTimer(id); }

    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep& step) override;
};

}  // namespace nms
