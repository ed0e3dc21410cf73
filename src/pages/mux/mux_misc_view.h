// "Output Set": the output parameters page of the multiplexers. Reads and writes each output's bitrate,
// identifiers, table insertion and IP output, and polls the real-time output bitrates on timer 64. The
// records and requests live in MuxMiscLogic; this page wires them to the device, the wait and the widgets.
#pragma once

#include <array>
#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_misc_logic.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nms {

constexpr int kOutputStatusTimerId = 64;
constexpr int kOutputStatusPollMs = 2000;

class CMuxMiscView : public CFormTemplateView {
    Q_OBJECT
public:
    // The controls of one output group.
    struct OutputControls {
        QGroupBox* group = nullptr;
        QLineEdit* bitrate = nullptr;
        QLineEdit* tsId = nullptr;
        QLineEdit* netId = nullptr;
        QLineEdit* ipInsert = nullptr;
        QLineEdit* realtime = nullptr;
        QLabel* realtimeLabel = nullptr;
        std::array<QCheckBox*, kTableCount> tables{};
        QLineEdit* address = nullptr;
        QLineEdit* port = nullptr;
        QCheckBox* enable = nullptr;
    };

    explicit CMuxMiscView(QWidget* parent = nullptr);
    ~CMuxMiscView() override;

    MuxMiscLogic* Logic() const { return m_logic.get(); }
    const OutputControls& Output(int output) const { return m_outputs[output]; }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    // Buttons.
    void OnGetA();
    void OnSetA();
    void OnGetB();
    void OnSetB();
    void OnGetAll();
    void OnSetAll();

    QPushButton* GetAButton() const { return m_getA; }
    QPushButton* SetAButton() const { return m_setA; }
    QPushButton* GetBButton() const { return m_getB; }
    QPushButton* SetBButton() const { return m_setB; }
    QPushButton* GetAllButton() const { return m_getAll; }
    QPushButton* SetAllButton() const { return m_setAll; }

protected:
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep& step) override;
    void KeepShownValues();
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;

private:
    void ShowIpControls();
    void DoGet(MuxMiscLogic::Target target);
    void DoSet(MuxMiscLogic::Target target);

    std::unique_ptr<MuxMiscLogic> m_logic;
    std::array<OutputControls, kMuxOutputs> m_outputs;
    QPushButton* m_getA;
    QPushButton* m_setA;
    QPushButton* m_getB;
    QPushButton* m_setB;
    QPushButton* m_getAll;
    QPushButton* m_setAll;
};

}  // namespace nms
