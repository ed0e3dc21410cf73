// The "Audio" tab of the SD encoders.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/sd_encoder_logic.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace nms {

class CEncoderAudioView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CEncoderAudioView(QWidget* parent = nullptr);
    ~CEncoderAudioView() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    FormBinder& Binder() { return *m_binder; }
    const SdBlockLogic& Logic() const { return *m_logic; }
    QComboBox* m_channel = nullptr;
    QLabel* m_channelLabel = nullptr;
    QGroupBox* m_sourceGroup = nullptr;
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
};

}  // namespace nms
