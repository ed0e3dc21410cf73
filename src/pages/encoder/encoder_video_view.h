// The "Video" tab of the SD encoders.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/sd_encoder_logic.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace nms {

class CEncoderVideoView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CEncoderVideoView(QWidget* parent = nullptr);
    ~CEncoderVideoView() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    FormBinder& Binder() { return *m_binder; }
    const SdBlockLogic& Logic() const { return *m_logic; }
    QSlider* Slider(const std::string& key) const;
    QComboBox* m_channel = nullptr;
    QLabel* m_channelLabel = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->WaitEnded(); }

private:
    void ShowBlock();

    std::unique_ptr<SdBlockLogic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    std::map<std::string, QSlider*> m_sliders;
};

}  // namespace nms
