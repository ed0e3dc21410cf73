// The "Multiplex" page of the modular 4/8/12/16-channel IP QAM modulator: the programs of eight input
// channels at a time in an input tree, the programs each QAM output of the selected module carries in an
// output tree, routing a program to one QAM output or off all of them, and the program edit dialog. The
// request chains live in Qam16Logic.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/mux/qam16_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class Cqam16 : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cqam16(QWidget* parent = nullptr);
    ~Cqam16() override;

    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;

    void OnRefreshClicked();  // "Refresh", a group change, the page shown
    void OnInputAnalyze();
    void OnRemove();
    void OnEdit();
    void OnMultiplexTo(int output);
    void OnInputTreeFocus();

    const Qam16Logic& Logic() const { return *m_logic; }

    QComboBox* m_multiplexTo = nullptr;
    QComboBox* m_qamGroup = nullptr;
    QComboBox* m_inputGroup = nullptr;
    QTreeWidget* m_inputTree = nullptr;
    QTreeWidget* m_outputTree = nullptr;
    QCheckBox* m_pidRemap = nullptr;
    QPushButton *m_refresh = nullptr, *m_analyze = nullptr, *m_edit = nullptr, *m_remove = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep&) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowChanges();
    void FillCombos();

    std::unique_ptr<Qam16Logic> m_logic;
};

}  // namespace nms
