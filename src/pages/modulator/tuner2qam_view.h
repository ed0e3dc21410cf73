// The "Source setting" page of the modulators fed by four tuner channels: each channel's input frequency,
// symbol rate and constellation, and its lock, signal quality and bitrate polled while shown.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/modulator/tuner2qam_logic.h"

class QLabel;
class QLineEdit;
class QProgressBar;

namespace nms {

class Ctuner2qam : public CBlockPageView {
    Q_OBJECT
public:
    explicit Ctuner2qam(QWidget* parent = nullptr);
    ~Ctuner2qam() override;

    void OnInitialUpdate() override;

    FormBinder& Binder() { return *m_binder; }
    const Tuner2QamLogic& Logic() const { return m_logic; }
    const ParamBlock& Area() const { return m_logic.Area(); }
    std::array<QLabel*, kTunerChannels> m_locks{};
    std::array<QProgressBar*, kTunerChannels> m_quality{};
    std::array<QLabel*, kTunerChannels> m_percent{};
    std::array<QLineEdit*, kTunerChannels> m_bitrate{};

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override { m_binder->Show(m_logic.Area()); }
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void ShowStatus();

    Tuner2QamLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
    std::array<QLabel*, kTunerChannels> m_bitrateLabels{};
};

}  // namespace nms
