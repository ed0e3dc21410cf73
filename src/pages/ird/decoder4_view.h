// The program page of the four-channel ASI HD decoder: per channel tab the tuner input, the channel's
// programs and its decoder settings.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/decoder4_logic.h"

class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class Cdecoder4 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cdecoder4(QWidget* parent = nullptr);
    ~Cdecoder4() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGetInput();
    void OnSetInput();
    void OnParse();
    void OnReadPrograms();
    void OnReadDecoder();
    void OnSendDecoder();

    FormBinder& InputBinder() { return *m_input; }
    FormBinder& DecoderBinder() { return *m_decoder; }
    QTabBar* m_tabs = nullptr;
    QTreeWidget* m_programs = nullptr;
    QPushButton* m_getInput = nullptr;
    QPushButton* m_setInput = nullptr;
    QPushButton* m_parse = nullptr;
    QPushButton* m_readPrograms = nullptr;
    QPushButton* m_readDecoder = nullptr;
    QPushButton* m_sendDecoder = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.WaitEnded(); }

private:
    void ShowInput();
    void FillProgramList();

    Decoder4Logic m_logic;
    std::unique_ptr<FormBinder> m_input;
    std::unique_ptr<FormBinder> m_decoder;
};

}  // namespace nms
