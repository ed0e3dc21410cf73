// The Magnum command page: a channel pair's script text, or (variant 65) a viewer of the device's text
// log. No device type lists it: it is made through its class name.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/encoder/magnum_cmd_logic.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace nms {

class Cmagnum_cmd4 : public CFormTemplateView {
    Q_OBJECT
public:
    static constexpr int kTimerId = 66;
    static constexpr int kTimerMs = 2000;

    explicit Cmagnum_cmd4(QWidget* parent = nullptr);
    ~Cmagnum_cmd4() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnReset();
    void OnClear();

    const MagnumCmdLogic& Logic() const { return *m_logic; }
    QPlainTextEdit* m_text = nullptr;
    QComboBox* m_pair = nullptr;
    QLabel* m_pairLabel = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_clear = nullptr;

protected:
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->Refused(); }

private:
    std::string TextBytes() const;

    std::unique_ptr<MagnumCmdLogic> m_logic;
};

}  // namespace nms
