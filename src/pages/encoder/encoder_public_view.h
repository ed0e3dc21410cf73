// The "Output" tab of the multi-channel encoders and encoder-modulators. Its status poll on timer 66 is
// shared: other pages call StatusPollTimer from their own OnTimer and decode the 0x40 reply themselves.
#pragma once

#include <cstdint>

#include "pagebase/form_template_view.h"

namespace nms {

constexpr int kEncoderStatusTimerId = 66;
constexpr uint8_t kCmdEncoderStatus = 0x40;

class CEncoderPublicView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CEncoderPublicView(QWidget* parent = nullptr);

    // The status poll: on timer 66 a bound, online device that neither this page nor any other waits on
    // is asked for its status (0x40, empty payload); the request gives way to one still in the send slot
    // and starts no wait. Every timer id then goes to the base handling (timer 4: the wait's time-out).
    // Starts and stops no timer: the page that uses it does.
    static void StatusPollTimer(CFormTemplateView& page, int timerId);

    void OnTimer(int id) override;
};

}  // namespace nms
