// The page of the eight-channel transcoder. No device type lists it: it is made through its class name.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/transcoder_logic.h"

class QCheckBox;
class QPushButton;
class QTabBar;

namespace nms {

class Ctranscoder : public CBlockPageView {
    Q_OBJECT
public:
    explicit Ctranscoder(QWidget* parent = nullptr);
    ~Ctranscoder() override;

    void OnInitialUpdate() override;
    // The tab of the channel read comes to the front.
    void OnGet() override;
    void OnSelChangeTab(int channel);

    FormBinder& Binder() { return *m_binder; }
    const TranscoderLogic& Logic() const { return m_logic; }
    QTabBar* m_tabs = nullptr;
    QCheckBox* m_enable = nullptr;  // shown, not part of the record

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;

private:
    TranscoderLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

}  // namespace nms
