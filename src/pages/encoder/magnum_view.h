// The "Video/Audio" page of the Magnum encoders (four or eight channels).
#pragma once

#include <functional>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/encoder/magnum_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace nms {

class CNetDescriptorDlg;

class Cmagnum : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cmagnum(QWidget* parent = nullptr);
    ~Cmagnum() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnReset();
    void OnScript();
    void OnSelChangeTab(int channel);
    void OnSelChangePixel();
    void OnVolume();
    void OnSelChangePair();

    // Runs the script dialog; tests replace it (true: OK).
    std::function<bool(CNetDescriptorDlg& dialog)> m_runDialog;

    FormBinder& Binder() { return *m_binder; }
    const MagnumLogic& Logic() const { return *m_logic; }
    QTabBar* m_tabs = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_reset = nullptr;   // hidden
    QPushButton* m_script = nullptr;  // hidden
    QComboBox* m_pair = nullptr;      // hidden
    QCheckBox* m_enable = nullptr;
    QCheckBox* m_rescaler = nullptr;
    QCheckBox* m_volume = nullptr;
    QLineEdit* m_volumeEdit = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->Refused(); }

private:
    void ShowChannel();
    MagnumChecks TakeChecks() const;
    void OpenScriptDialog();

    std::unique_ptr<MagnumLogic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    QLabel* m_pairLabel = nullptr;
};

}  // namespace nms
