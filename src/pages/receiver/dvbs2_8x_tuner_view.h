// The "Input Parameter" page of the 8/16-channel IP gateways: eight or sixteen tuner records (satellite,
// cable or terrestrial front ends, as the device's read reply says) in a grid of eight rows, two tabs for
// sixteen channels; read with 0x70 and written with 0x71.
#pragma once

#include "pages/receiver/request_page_view.h"
#include "pages/receiver/tuner8x_logic.h"

class QPushButton;

namespace nms {

class TunerGrid;

class Cdvbs2_8xTuner : public CRequestPageView {
    Q_OBJECT
public:
    explicit Cdvbs2_8xTuner(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnSet();
    void OnSelChangeTab(int tab);
    void FillLists();

    const Tuner8xLogic& Logic() const { return m_logic; }
    TunerGrid* m_grid = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    RequestLogic* Requests() override { return &m_logic; }
    // A read's lists and tabs before its rows.
    void BeforeReplyStep(const ReplyView& reply, const PageStep& step) override;
    bool DoDataExchange(bool collect) override;

private:
    std::array<TunerRowInputs, 8> Rows() const;
    // The focus on the row a refused take stopped at.
    void FocusFailed();
    void ShowRows();

    Tuner8xLogic m_logic;
};

}  // namespace nms
