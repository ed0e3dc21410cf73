// The program page of the four-channel ASI HD decoder: per channel tab the tuner input, the channel's
// programs and its decoder settings.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/ird/decoder4_logic.h"

class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class Cdecoder4 : public CBlockPageView {
    Q_OBJECT
public:
    explicit Cdecoder4(QWidget* parent = nullptr);
    ~Cdecoder4() override;

    void OnParse();
    void OnReadPrograms();
    void OnReadDecoder();
    void OnSendDecoder();

    FormBinder& InputBinder() { return *m_input; }
    FormBinder& DecoderBinder() { return *m_decoder; }
    QTabBar* m_tabs = nullptr;
    QTreeWidget* m_programs = nullptr;
    QPushButton* m_parse = nullptr;
    QPushButton* m_readPrograms = nullptr;
    QPushButton* m_readDecoder = nullptr;
    QPushButton* m_sendDecoder = nullptr;

protected:
    // The input record of the channel in front.
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_input.get(); }
    void ShowBlock() override;
    std::optional<int> Selection() const override;
    // Showing reads the input and then the rest of the channel, as one chain.
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void FillProgramList();

    Decoder4Logic m_logic;
    std::unique_ptr<FormBinder> m_input;
    std::unique_ptr<FormBinder> m_decoder;
};

}  // namespace nms
