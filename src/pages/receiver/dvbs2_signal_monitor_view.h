// The "Signal Monitor" page of the 8/16-channel IP gateways: while shown it polls the tuner status (0x72)
// and shows per channel a lock lamp, the received bitrate and the signal quality, plus the total bitrate;
// one variant instead shows, reads and writes the physical-channel map (0x33/0x34).
#pragma once

#include <array>
#include <vector>

#include "pagebase/form_template_view.h"
#include "pages/receiver/tuner8x_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace nms {

class CDVBS2signalMonitor : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CDVBS2signalMonitor(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnGet();
    void OnSet();

    int ChannelCount() const { return m_logic.ChannelCount(); }
    const std::vector<uint8_t>& Map() const { return m_logic.Map(); }

    std::array<QLabel*, 16> m_numbers{}, m_lamps{}, m_qualityValues{};
    std::array<QLineEdit*, 16> m_bitrates{};
    std::array<QProgressBar*, 16> m_quality{};
    std::array<QComboBox*, 8> m_physical{};
    QLabel* m_qualityCaption = nullptr;
    QLabel* m_totalCaption = nullptr;
    QLineEdit* m_total = nullptr;
    QLabel* m_physicalCaption = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;

private:
    void ShowSixteenRowLayout();
    void ShowChannelMapLayout();
    void ShowRows(int rows, bool quality);
    void ShowStatus(const TunerSignalView& status, bool quality);
    // The map read of a showing, once the send slot is free; tried again on a short timer until then.
    void SendPendingMapRead();

    SignalMonitorLogic m_logic;
    std::array<QLabel*, 6> m_captions{};
};

}  // namespace nms
