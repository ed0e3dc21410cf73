// The "Source setting" page of the one-channel CI/CAM receivers: the tuner input and the IP input read
// and written as one block, and the receiver's status polled while the page is shown.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/ird/cam_ird_source_logic.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace nms {

class CCAMIRD_INPUT : public CBlockPageView {
    Q_OBJECT
public:
    explicit CCAMIRD_INPUT(QWidget* parent = nullptr);
    ~CCAMIRD_INPUT() override;

    void OnInitialUpdate() override;

    FormBinder& Binder() { return *m_binder; }
    const CamIrdSourceLogic& Logic() const { return m_logic; }

    QGroupBox* m_tunerGroup = nullptr;
    QGroupBox* m_ipGroup = nullptr;
    QRadioButton* m_unicast = nullptr;
    QRadioButton* m_multicast = nullptr;
    QLabel* m_tunerLock = nullptr;
    QProgressBar* m_signal = nullptr;
    QLabel* m_signalText = nullptr;
    QLabel* m_asiLock = nullptr;
    QLabel* m_statusIcon = nullptr;
    QLabel* m_ipLock = nullptr;
    QLabel* m_statusWord = nullptr;
    QLabel* m_cam1 = nullptr;
    QLabel* m_cam2 = nullptr;
    QLabel* m_cam1Name = nullptr;
    QLabel* m_cam2Name = nullptr;
    QLineEdit* m_programs = nullptr;
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // The receive mode: 1 with Multicast chosen.
    std::optional<int> Selection() const override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void ShowStatus();
    void OnCastClicked();

    CamIrdSourceLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

}  // namespace nms
