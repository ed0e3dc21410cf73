// "ASI Monitor": polls the real-time output status once a second while shown and shows program count,
// current / highest / lowest bitrate, one lock lamp per input channel and a scrolling bitrate chart. The
// poll and reply logic lives in MuxMonitorLogic.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_monitor_logic.h"

class QFrame;
class QLabel;
class QLineEdit;

namespace nms {

class CGraphCtrl;

class CMuxMonitorView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CMuxMonitorView(QWidget* parent = nullptr);
    ~CMuxMonitorView() override;

    MuxMonitorLogic* Logic() const { return m_logic.get(); }
    CGraphCtrl* Chart() const { return m_chart; }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    QLineEdit* ProgramCountEdit() const { return m_programCountA; }
    QLineEdit* BitrateEdit() const { return m_bitrateA; }
    QLineEdit* HighestEdit() const { return m_highestA; }
    QLineEdit* LowestEdit() const { return m_lowestA; }
    QLineEdit* ProgramCountBEdit() const { return m_programCountB; }
    QLineEdit* BitrateBEdit() const { return m_bitrateB; }
    QLineEdit* HighestBEdit() const { return m_highestB; }
    QLabel* ProgramCountLabel() const { return m_programCountLabel; }
    QLabel* StatusLabel() const { return m_status; }
    QLabel* LockIcon(int channel) const { return m_lockIcons[size_t(channel - 1)]; }
    QLabel* LockLabel(int channel) const { return m_lockLabels[size_t(channel - 1)]; }
    // Per channel: the lamp currently shown is the green one.
    bool LockShowsGreen(int channel) const;
    QLabel* CaptionLabel(int id) const;

protected:
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Poll();
    void FitChart();
    void ShowLocks();

    std::unique_ptr<MuxMonitorLogic> m_logic;
    QLineEdit* m_programCountA;
    QLineEdit* m_bitrateA;
    QLineEdit* m_highestA;
    QLineEdit* m_lowestA;
    QLineEdit* m_programCountB;
    QLineEdit* m_bitrateB;
    QLineEdit* m_highestB;
    QLabel* m_programCountLabel;   // 1271
    QLabel* m_bitrateLabel;        // 1272
    QLabel* m_highestLabel;        // 1273
    QLabel* m_lowestLabel;         // 1633
    QLabel* m_programCountBLabel;  // 1328
    QLabel* m_bitrateBLabel;       // 1330
    QLabel* m_highestBLabel;       // 1332
    QLabel* m_status;              // 1510
    std::array<QLabel*, 8> m_lockIcons{};
    std::array<QLabel*, 8> m_lockLabels{};
    std::array<bool, 8> m_shownGreen{};
    QFrame* m_placeholder;  // 1446
    CGraphCtrl* m_chart = nullptr;
    int m_seriesParam = -1;  // the variant the chart's series belong to
};

}  // namespace nms
