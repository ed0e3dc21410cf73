// The "Video" tab of the SD encoders.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/sd_encoder_logic.h"

class QSlider;

namespace nms {

class CEncoderVideoView : public CBlockPageView {
    Q_OBJECT
public:
    explicit CEncoderVideoView(QWidget* parent = nullptr);
    ~CEncoderVideoView() override;

    void OnInitialUpdate() override;

    FormBinder& Binder() { return *m_binder; }
    const SdBlockLogic& Logic() const { return *m_logic; }
    QSlider* Slider(const std::string& key) const;

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // The SD encoder pages ask any bound device; an offline one refuses the request.
    bool MayGet() const override { return m_device != nullptr; }

private:
    std::unique_ptr<SdBlockLogic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    std::map<std::string, QSlider*> m_sliders;
};

}  // namespace nms
