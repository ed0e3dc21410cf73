// The "TS over IP" tab of encoders, encoder-modulators, receivers and gateways whose output can leave as
// a transport stream over UDP: the local network settings, MPTS or SPTS, and up to 16 destinations.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/ip_out_logic.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace nms {

class CEncoderIPOutView : public CBlockPageView {
    Q_OBJECT
public:
    explicit CEncoderIPOutView(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnGenerateMac();
    void OnMptsSpts(bool spts);

    QWidget* Field(const std::string& key) const { return m_binder->Control(key); }
    const IpOutLogic& Logic() const { return m_logic; }

    QPushButton* m_generateMac = nullptr;
    QRadioButton* m_mpts = nullptr;
    QRadioButton* m_spts = nullptr;
    QGroupBox* m_destinations = nullptr;

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // The buttons always ask; without a device online the link refuses the request.
    bool MayGet() const override { return true; }

private:
    void ShowRows();

    IpOutLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
    std::vector<std::vector<QWidget*>> m_rows;  // per destination: its controls and captions
};

}  // namespace nms
