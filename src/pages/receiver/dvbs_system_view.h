// The tuner input parameter page. Its own controls are not part of this program; its binding and timer
// handlers are shared: the input channel page and the SD video page use the same bodies as their own.
#pragma once

#include "pagebase/placeholder_page.h"

namespace nms {

class CDVBSSystemView : public CPlaceholderPage {
    Q_OBJECT
public:
    explicit CDVBSSystemView(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnTimer(int id) override;

    // The base binding, nothing added.
    static void SetDevice(CFormTemplateView& page, DeviceRecord* device);
    // The base timer handling (timer 4 is the wait's time-out); sends nothing, starts no timer.
    static void OnTimer(CFormTemplateView& page, int id);
};

}  // namespace nms
