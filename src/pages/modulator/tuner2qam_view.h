// The "Source setting" page of the modulators fed by four tuner channels: each channel's input frequency,
// symbol rate and constellation, and its lock, signal quality and bitrate polled while shown.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/modulator/tuner2qam_logic.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace nms {

class Ctuner2qam : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Ctuner2qam(QWidget* parent = nullptr);
    ~Ctuner2qam() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    FormBinder& Binder() { return *m_binder; }
    const ParamBlock& Area() const { return m_area; }
    std::array<QLabel*, kTunerChannels> m_locks{};
    std::array<QProgressBar*, kTunerChannels> m_quality{};
    std::array<QLabel*, kTunerChannels> m_percent{};
    std::array<QLineEdit*, kTunerChannels> m_bitrate{};
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep&) override { m_awaited = -1; }

private:
    std::unique_ptr<FormBinder> m_binder;
    ParamBlock m_area;
    int m_awaited = -1;
    std::array<QLabel*, kTunerChannels> m_bitrateLabels{};
};

}  // namespace nms
