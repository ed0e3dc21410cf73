// "PID Monitor": the PIDs present in the ASI scrambler's transport stream, one row per PID.
#pragma once

#include "pagebase/form_template_view.h"
#include "pages/mux/pid_monitor_logic.h"

class QPushButton;
class QTableWidget;

namespace nms {

class CpidMonitor : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CpidMonitor(QWidget* parent = nullptr);

    const PidMonitorLogic& Logic() const { return m_logic; }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();

    QTableWidget* List() const { return m_list; }
    QPushButton* GetButton() const { return m_get; }

protected:
    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep& step) override;

private:
    void ShowRows();

    PidMonitorLogic m_logic;
    QTableWidget* m_list;
    QPushButton* m_get;
};

}  // namespace nms
