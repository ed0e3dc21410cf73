#include "pages/receiver/dvbs_system_view.h"

namespace nms {

CDVBSSystemView::CDVBSSystemView(QWidget* parent) : CPlaceholderPage("CDVBSSystemView", parent) {}

void CDVBSSystemView::SetDevice(DeviceRecord* device) {
    SetDevice(*this, device);
}

void CDVBSSystemView::OnTimer(int id) {
    OnTimer(*this, id);
}

void CDVBSSystemView::SetDevice(CFormTemplateView& page, DeviceRecord* device) {
    page.CFormTemplateView::SetDevice(device);
}

void CDVBSSystemView::OnTimer(CFormTemplateView& page, int id) {
    page.CFormTemplateView::OnTimer(id);
}

}  // namespace nms
