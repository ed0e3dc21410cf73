#include "pages/encoder/encoder_public_view.h"

#include "devices/device_record.h"

namespace nms {

CEncoderPublicView::CEncoderPublicView(QWidget* parent) : CFormTemplateView(parent) {}

void CEncoderPublicView::StatusPollTimer(CFormTemplateView& page, int timerId) {
    const DeviceRecord* device = page.Device();
    if (timerId == kEncoderStatusTimerId && page.DeviceOnline() && !page.IsBusy() && device->busy.load() == 0)
        page.Carry(PageStep::Poll(kCmdEncoderStatus));
    page.CFormTemplateView::OnTimer(timerId);
}

void CEncoderPublicView::OnTimer(int id) {
    StatusPollTimer(*this, id);
}

}  // namespace nms
