// The "System" tabs of the SD encoders (CEncoderSystemView) and of the one-channel HD encoder
// (CencoderHDsystems): output bitrate, program number, PIDs, names and, where the encoder has them, its
// output identity, bitrate mode and status row.
#pragma once

#include <memory>
#include <string>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/encoder_system_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace nms {

class CEncoderSystemView : public CBlockPageView {
    Q_OBJECT
public:
    explicit CEncoderSystemView(QWidget* parent = nullptr) : CEncoderSystemView(false, parent) {}
    ~CEncoderSystemView() override;

    void OnInitialUpdate() override;
    void OnSdtInsertClick();
    void OnPmtPidKillFocus();

    FormBinder& Binder() { return *m_binder; }
    const EncoderSystemLogic& Logic() const { return *m_logic; }
    QLineEdit* Edit(const std::string& key) const;

    QSlider* m_slider = nullptr;
    QGroupBox* m_modeGroup = nullptr;
    QGroupBox* m_identityGroup = nullptr;
    QWidget* m_statusRow = nullptr;
    QLabel* m_lamp = nullptr;
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;

protected:
    CEncoderSystemView(bool hd, QWidget* parent);
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    void OnRefresh(unsigned what, bool refreshed) override;
    // The SD pages ask any bound device (an offline one refuses the request); the HD page an online one.
    bool MayGet() const override { return m_hd ? DeviceOnline() : m_device != nullptr; }
    bool MaySet() const override { return m_device != nullptr; }
    bool MayPoll() const override;

private:
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
