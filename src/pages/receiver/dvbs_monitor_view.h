// The "Signal Monitor" page of the DVB-S/S2 receivers and of the modulators with satellite inputs: while
// shown it polls the tuner status (0x72) and shows per channel a lock lamp, a signal bar and value, and on
// the four-channel receiver each channel's useful and total bitrate.
#pragma once

#include <array>

#include "pagebase/form_template_view.h"
#include "pages/receiver/dvbs_monitor_logic.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace nms {

class CDVBSMonitorView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CDVBSMonitorView(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;

    std::array<QLabel*, kDvbsMonitorRows> m_labels{}, m_lamps{}, m_values{};
    std::array<QProgressBar*, kDvbsMonitorRows> m_bars{};
    std::array<QGroupBox*, 4> m_groups{};
    std::array<QLineEdit*, 4> m_useful{}, m_total{};

protected:
    void OnShowWindow(bool shown) override;

private:
    void SetupRows();
    void SetupBitratePanel();
    void SetupSixteenRows();
    void ShowRow(int row, DvbsMonitorRow::Show show);
};

}  // namespace nms
