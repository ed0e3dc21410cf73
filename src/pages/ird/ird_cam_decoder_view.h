// The "Decoder" page of the one-channel CI/CAM receiver: the built-in decoder's program, picture and
// sound settings.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/decoder_settings.h"

class QPushButton;
class QTabBar;

namespace nms {

class CIRD_CAM_decoder : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CIRD_CAM_decoder(QWidget* parent = nullptr);
    ~CIRD_CAM_decoder() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    FormBinder& Binder() { return *m_binder; }
    QTabBar* m_tabs = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.WaitEnded(); }

private:
    void ShowDecoder();

    DecoderLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

// Lays the decoder form out in its three groups (shared with the four-channel decoder page).
QWidget* MakeDecoderForm(FormBinder& binder, QWidget* parent);
// Fills the program and audio lists of the form from an offer and shows the block.
void ShowDecoderForm(FormBinder& binder, const DecoderOffer& offer, const ParamBlock& block);

}  // namespace nms
