// The page of the eight-channel transcoder. No device type lists it: it is made through its class name.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/transcoder_logic.h"

class QCheckBox;
class QPushButton;
class QTabBar;

namespace nms {

class Ctranscoder : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Ctranscoder(QWidget* parent = nullptr);
    ~Ctranscoder() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnSelChangeTab(int channel);

    FormBinder& Binder() { return *m_binder; }
    const TranscoderLogic& Logic() const { return m_logic; }
    QTabBar* m_tabs = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QCheckBox* m_enable = nullptr;  // shown, not part of the record

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.WaitEnded(); }

private:
    TranscoderLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

}  // namespace nms
