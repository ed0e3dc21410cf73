// The "Video/Audio" tab of the multi-channel HD encoders and of the encoder boards of some modulators.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/hd4in1_logic.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace nms {

class encoderHD4in1_av : public CFormTemplateView {
    Q_OBJECT
public:
    explicit encoderHD4in1_av(QWidget* parent = nullptr);
    ~encoderHD4in1_av() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnSelChangePixel();

    // The form of the version shown.
    FormBinder& Binder() { return *m_binders[Slot(m_logic->Version())]; }
    const Hd4Logic& Logic() const { return *m_logic; }
    QComboBox* m_channel = nullptr;
    QLabel* m_channelLabel = nullptr;
    QLabel* m_inputLabel = nullptr;
    QLabel* m_inputText = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->WaitEnded(); }

private:
    static size_t Slot(Hd4Version version);
    void ShowImage();

    std::unique_ptr<Hd4Logic> m_logic;
    std::array<std::unique_ptr<FormBinder>, 3> m_binders;
    std::array<QWidget*, 3> m_forms{};
    QStackedWidget* m_stack = nullptr;
};

}  // namespace nms
