#include "pages/receiver/request_page_view.h"

namespace nms {

CRequestPageView::CRequestPageView(QWidget* parent) : CFormTemplateView(parent) {}

void CRequestPageView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CRequestPageView::OnGet() {
    if (RequestLogic* logic = Requests(); logic && DeviceOnline())
        Carry(logic->Get());
}

void CRequestPageView::OnTimer(int id) {
    if (RequestLogic* logic = Requests(); logic && id == kWaitTimerId)
        logic->WaitEnded();
    OnPageTimer(id);
}

void CRequestPageView::OnStepRefused(const PageStep&) {
    if (RequestLogic* logic = Requests())
        logic->Refused();
}

void CRequestPageView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    RequestLogic* logic = Requests();
    const PageStep step = logic ? logic->HandleReply(reply) : PageStep{};
    if (step.IsEmpty()) {
        OnOtherReply(reply);
        return;
    }
    BeforeReplyStep(reply, step);
    Carry(step);
}

}  // namespace nms
