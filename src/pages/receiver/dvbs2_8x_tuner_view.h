// The "Input Parameter" page of the 8/16-channel IP gateways: eight or sixteen tuner records (satellite,
// cable or terrestrial front ends, as the device's read reply says) in a grid of eight rows, two tabs for
// sixteen channels; read with 0x70 and written with 0x71.
#pragma once

#include "pagebase/form_template_view.h"
#include "pages/receiver/tuner8x_logic.h"

class QPushButton;

namespace nms {

class TunerGrid;

class Cdvbs2_8xTuner : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Cdvbs2_8xTuner(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnGet();
    void OnSet();
    void OnSelChangeTab(int tab);
    void FillLists();

    const Tuner8xLogic& Logic() const { return m_logic; }
    TunerGrid* m_grid = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    bool DoDataExchange(bool collect) override;
    void OnStepRefused(const PageStep& step) override;

private:
    std::array<TunerRowInputs, 8> Rows() const;
    // The focus on the row a refused take stopped at.
    void FocusFailed();
    void ShowRows();

    Tuner8xLogic m_logic;
};

}  // namespace nms
