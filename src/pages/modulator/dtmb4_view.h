// The "Modulator" page of the DTMB modulators with one, four or six RF channels.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/modulator/dtmb4_logic.h"

class QLabel;
class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace nms {

class Cdtmb4 : public CBlockPageView {
    Q_OBJECT
public:
    explicit Cdtmb4(QWidget* parent = nullptr);
    ~Cdtmb4() override;

    void OnInitialUpdate() override;
    void OnSelChangeChannelTab(int tab);
    void OnChangeFirstFrequency();

    FormBinder& Binder() { return *m_binder; }
    const Dtmb4Logic& Logic() const { return *m_logic; }
    QTabBar* m_tabs = nullptr;
    std::array<QLabel*, kDtmbChannels> m_locks{};
    std::array<QLabel*, kDtmbChannels> m_lockLabels{};  // "Channel 1" .. "Channel 6" beside the lamps
    std::array<QLineEdit*, kDtmbChannels> m_rates{};
    QWidget* m_status = nullptr;
    QLabel* m_lockCaption = nullptr;

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void ShowChannel(int channel);
    void ApplyChannelCount();

    std::unique_ptr<Dtmb4Logic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    QStackedWidget* m_channelForms = nullptr;
    QLabel* m_powerUnit = nullptr;
    std::array<QLabel*, kDtmbChannels> m_rateLabels{};
    int m_front = 0;
};

}  // namespace nms
