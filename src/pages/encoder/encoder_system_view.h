// The "System" tabs of the SD encoders (CEncoderSystemView) and of the one-channel HD encoder
// (CencoderHDsystems): output bitrate, program number, PIDs, names and, where the encoder has them, its
// output identity, bitrate mode and status row.
#pragma once

#include <memory>
#include <string>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/encoder_system_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace nms {

class CEncoderSystemView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CEncoderSystemView(QWidget* parent = nullptr) : CEncoderSystemView(false, parent) {}
    ~CEncoderSystemView() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnSdtInsertClick();
    void OnPmtPidKillFocus();

    FormBinder& Binder() { return *m_binder; }
    const EncoderSystemLogic& Logic() const { return *m_logic; }
    QLineEdit* Edit(const std::string& key) const;

    QComboBox* m_channel = nullptr;
    QLabel* m_channelLabel = nullptr;
    QSlider* m_slider = nullptr;
    QGroupBox* m_modeGroup = nullptr;
    QGroupBox* m_identityGroup = nullptr;
    QWidget* m_statusRow = nullptr;
    QLabel* m_lamp = nullptr;
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    CEncoderSystemView(bool hd, QWidget* parent);
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->WaitEnded(); }

private:
    void ShowBlock();
    void ShowStatus();

    const bool m_hd;
    std::unique_ptr<EncoderSystemLogic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    std::string m_pmtText;  // the PMT PID text last shown or accepted
};

class CencoderHDsystems : public CEncoderSystemView {
    Q_OBJECT
public:
    explicit CencoderHDsystems(QWidget* parent = nullptr) : CEncoderSystemView(true, parent) {}
};

}  // namespace nms
