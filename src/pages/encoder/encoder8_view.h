// The "Video/Audio" page of the multi-channel SD encoders (4/8-channel MPEG-2, 8/12/16-channel MPEG-2/4).
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/encoder8_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QVBoxLayout;

namespace nms {

class Cencoder8 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cencoder8(QWidget* parent = nullptr);
    ~Cencoder8() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnCopyToAll();
    void OnSelChangeTab(int channel);
    void OnSelChangeAudioBitrate();

    FormBinder& Binder() { return *m_binder; }
    const Encoder8Logic& Logic() const { return *m_logic; }
    QTabBar* m_tabs = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_copyAll = nullptr;
    QLineEdit* m_info = nullptr;       // edit 1011
    QComboBox* m_audioMode = nullptr;  // the 149-byte layout's mode box, not stored
    QWidget* m_form = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->WaitEnded(); }

private:
    void Build();
    void ShowTabs();
    void ShowChannel();

    std::unique_ptr<Encoder8Logic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    QVBoxLayout* m_pageLayout = nullptr;
    QWidget* m_scramblerBox = nullptr;  // the scrambler checks and ECM PIDs
};

}  // namespace nms
