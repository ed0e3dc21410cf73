// The "Input Parameter" page of the DVB-S/S2 receivers and of the modulators and gateways with satellite
// inputs: the tuner channel records in a grid of rows (two tabs of eight for 16 channels), read with 0x70
// and written with 0x71, and on one variant the device's IP address, port and MAC. Its binding and timer
// handlers are shared: other pages (the input channel page, the SD video page) use the same bodies.
#pragma once

#include <memory>

#include "pages/receiver/dvbs_system_logic.h"
#include "pages/receiver/request_page_view.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace nms {

class CIPAddressCtrl;
class TunerGrid;

class CDVBSSystemView : public CRequestPageView {
    Q_OBJECT
public:
    explicit CDVBSSystemView(QWidget* parent = nullptr);
    ~CDVBSSystemView() override;

    void SetDevice(DeviceRecord* device) override;
    using CRequestPageView::OnTimer;

    // The base binding, nothing added.
    static void SetDevice(CFormTemplateView& page, DeviceRecord* device);
    // The base timer handling (timer 4 is the wait's time-out); sends nothing, starts no timer.
    static void OnTimer(CFormTemplateView& page, int id);
    // Typed MHz or Msym/s to thousandths; false for more than 5 integer digits or a value above max.
    static bool ParseThousandthsText(const std::string& text, uint32_t max, uint32_t* value) {
        return ParseTunerThousandths(text, max, value);
    }

    void OnInitialUpdate() override;
    void OnSet();
    void OnGenerateMac();
    void OnSelChangeTab(int tab);

    const DvbsSystemLogic& Logic() const { return *m_logic; }
    TunerGrid* m_grid = nullptr;
    QGroupBox* m_ipArea = nullptr;
    CIPAddressCtrl* m_ip = nullptr;
    QLineEdit* m_port = nullptr;
    QLineEdit* m_mac = nullptr;
    QPushButton* m_generateMac = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    RequestLogic* Requests() override { return m_logic.get(); }
    // A read's layout before its rows.
    void BeforeReplyStep(const ReplyView& reply, const PageStep& step) override;
    void OnPageTimer(int id) override { OnTimer(*this, id); }
    bool DoDataExchange(bool collect) override;

private:
    void ApplyLayout();
    DvbsSystemForm Form() const;
    // The focus on the field a refused take stopped at.
    void FocusFailed();
    void ShowRows();

    std::unique_ptr<DvbsSystemLogic> m_logic;
};

}  // namespace nms
