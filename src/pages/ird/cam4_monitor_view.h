// The "Signal Monitor" page of the four-channel CI/CAM receiver and decoder: the channels' status and
// their four tuner inputs in rows.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/cam4_monitor_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace nms {

class Ccam4ird_monitors : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Ccam4ird_monitors(QWidget* parent = nullptr);
    ~Ccam4ird_monitors() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    struct ChannelRow {
        QLineEdit* programs = nullptr;
        QLineEdit* bitrate = nullptr;
        QLabel* cam = nullptr;
        QLineEdit* camName = nullptr;
        QLabel* lock = nullptr;
        QProgressBar* signal = nullptr;
        QLabel* signalText = nullptr;
    };
    std::array<ChannelRow, kCamChannels> m_rows;
    std::array<std::unique_ptr<FormBinder>, kCamChannels> m_inputs;
    std::array<std::unique_ptr<FormBinder>, kCamChannels> m_bitrates;
    QLabel* m_camHeading = nullptr;
    QCheckBox* m_eit = nullptr;
    QCheckBox* m_tdt = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.Refused(); }

private:
    void ShowInputs();
    void ShowStatus();

    Cam4MonitorLogic m_logic;
    std::vector<QLabel*> m_inputHeadings;
};

}  // namespace nms
