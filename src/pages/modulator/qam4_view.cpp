#include "pages/modulator/qam4_view.h"

#include "devices/device_packet.h"
#include "devices/device_record.h"

namespace nms {

Cqam4::Cqam4(QWidget* parent) : CPlaceholderPage("Cqam4", parent) {}

void Cqam4::OnTimer(int id) {
    OnTimer(*this, id);
}

void Cqam4::OnSelChangeCombo() {
    OnSelChangeCombo(*this);
}

void Cqam4::OnTimer(CFormTemplateView& page, int id) {
    DeviceRecord* device = page.Device();
    // An offline or busy device simply gets no poll.
    if (id == kStatusTimerId && device && device->status.load() > 0 && device->busy.load() == 0)
        SendCommand(kStatusCommand, 1, 1, device, nullptr, 0);
    page.CFormTemplateView::OnTimer(id);
}

void Cqam4::OnSelChangeCombo(CFormTemplateView& page) {
    page.UpdateData(true);
}

}  // namespace nms
