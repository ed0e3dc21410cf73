// The multi-channel QAM modulator page. Its own controls are not part of this program; what other pages
// share of it is: the status poll on timer 64 (the IP multiplexer page uses it as its own timer handler)
// and the combo handler that only collects the controls (the Magnum encoder page's "Enable").
#pragma once

#include "pagebase/placeholder_page.h"

namespace nms {

class Cqam4 : public CPlaceholderPage {
    Q_OBJECT
public:
    static constexpr int kStatusTimerId = 64;
    static constexpr uint8_t kStatusCommand = 0x40;

    explicit Cqam4(QWidget* parent = nullptr);

    void OnTimer(int id) override;
    void OnSelChangeCombo();

    // The same bodies for pages that use them as their own: on timer 64 a status request to a bound,
    // online, idle device, then the base handling (timer 4 is the wait's time-out). Starts no timer.
    static void OnTimer(CFormTemplateView& page, int id);
    // Copies the controls into the page's members.
    static void OnSelChangeCombo(CFormTemplateView& page);
};

}  // namespace nms
