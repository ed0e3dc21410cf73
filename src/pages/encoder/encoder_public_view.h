// The "Output" tab of the multi-channel encoders and encoder-modulators: the output multiplex settings
// (insertion, channels, identifiers, total bitrate), the RF settings of the modulating models and the IP
// output of one of them, and the status lamps and bitrates that the timer-66 poll brings. The poll is
// shared: other pages call StatusPollTimer from their own OnTimer and decode the 0x40 reply themselves.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/encoder_output_logic.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace nms {

constexpr int kEncoderStatusTimerId = 66;
constexpr int kEncoderStatusPollMs = 1500;

class CEncoderPublicView : public CBlockPageView {
    Q_OBJECT
public:
    explicit CEncoderPublicView(QWidget* parent = nullptr);

    // The status poll: on timer 66 a bound, online device that neither this page nor any other waits on
    // is asked for its status (0x40, empty payload); the request gives way to one still in the send slot
    // and starts no wait. Every timer id then goes to the base handling (timer 4: the wait's time-out).
    // Starts and stops no timer: the page that uses it does.
    static void StatusPollTimer(CFormTemplateView& page, int timerId);
    // Whether a tick of that poll asks for the status now.
    static bool MayPollStatus(const CFormTemplateView& page);

    void OnInitialUpdate() override;
    void OnGenerateMac();
    void OnStandardClicked(EncoderStandard standard);
    void OnFrequencyChange();

    FormBinder& Binder() { return *m_binder; }
    const EncoderOutputLogic& Logic() const { return m_logic; }
    QWidget* Field(const char* key) const { return m_binder->Control(key); }

    std::array<QLabel*, kEncoderChannels + 1> m_lamps{};  // CH1..CH16, then the input lamp
    std::array<QLabel*, kEncoderChannels + 1> m_lampCaptions{};
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;
    QLabel* m_maxCaption = nullptr;
    QLabel* m_working = nullptr;
    QLabel* m_statusLine = nullptr;
    QLabel* m_mbps = nullptr;
    QGroupBox* m_rfGroup = nullptr;
    std::array<QRadioButton*, 3> m_standards{};  // DVB-T, DVB-C, DTMB (by standard byte)
    QGroupBox* m_ipGroup = nullptr;
    QPushButton* m_generateMac = nullptr;

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // A Get always asks (without a device online the link refuses it); a Set needs the device online.
    bool MayGet() const override { return true; }
    bool MaySet() const override { return DeviceOnline(); }
    bool MayPoll() const override { return MayPollStatus(*this); }
    void OnRefresh(unsigned what, bool refreshed) override;
    bool DoDataExchange(bool collect) override;

private:
    void ApplyLayout();
    void ShowStatus();

    EncoderOutputLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

}  // namespace nms
