// The "Video/Audio" tab of the one-channel HD encoder, with the status poll's bitrate and input locks.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/hd_av_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nms {

class CencoderHDav : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CencoderHDav(QWidget* parent = nullptr);
    ~CencoderHDav() override;

    void SetDevice(DeviceRecord* device) override;
    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    // A click on an input: the pixel list and the audio interface follow it; other edits stay.
    void OnInputClick();

    FormBinder& Binder() { return *m_binder; }
    const HdAvLogic& Logic() const { return m_logic; }
    QComboBox* PixelCombo() const;
    // The lock lamps of HDMI, SDI, YPbPr and CVBS.
    std::array<QLabel*, 4> m_locks{};
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;
    QLabel* m_format = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.WaitEnded(); }

private:
    void ShowBlock();
    void ShowStatus();
    void FillPixels(int input, int value);

    HdAvLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
    int m_pixelInput = 0;  // the input the pixel list was filled for
};

}  // namespace nms
