// The "Decoder" page of the one-channel CI/CAM receiver: the built-in decoder's program, picture and
// sound settings.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/ird/decoder_settings.h"

class QTabBar;

namespace nms {

class CIRD_CAM_decoder : public CBlockPageView {
    Q_OBJECT
public:
    explicit CIRD_CAM_decoder(QWidget* parent = nullptr);
    ~CIRD_CAM_decoder() override;

    FormBinder& Binder() { return *m_binder; }
    QTabBar* m_tabs = nullptr;

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // Requests are for the channel tab in front.
    std::optional<int> Selection() const override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    DecoderLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

// Lays the decoder form out in its three groups (shared with the four-channel decoder page).
QWidget* MakeDecoderForm(FormBinder& binder, QWidget* parent);
// Fills the program and audio lists of the form from an offer and shows the block.
void ShowDecoderForm(FormBinder& binder, const DecoderOffer& offer, const ParamBlock& block);

}  // namespace nms
