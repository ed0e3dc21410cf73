// The encoder status poll for pages that poll on timer 66 and decode the 0x40 reply themselves.
#pragma once

#include "devices/device_record.h"
#include "pagebase/form_template_view.h"

namespace nms {

// On timer 66: a bound, online device that no page waits on is asked for its status (0x40), giving way to
// a request still in the send slot. Every timer then goes to the base handling.
inline void EncoderStatusPoll(CFormTemplateView& page, int timerId) {
    if (timerId == 66 && page.DeviceOnline() && !page.IsBusy() && page.Device()->busy.load() == 0)
        page.Carry(PageStep::Poll(0x40));
    page.CFormTemplateView::OnTimer(timerId);
}

}  // namespace nms
