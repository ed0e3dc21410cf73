// The multi-RF QAM modulator page: up to four RF outputs (or four modules of four) with their radio
// values, PSI insertion and identifiers, and the realtime monitor of bitrates and locks. Other pages use
// its timer handler (the status poll on timer 64) and its combo handler as their own.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/modulator/qam4_logic.h"

class QLabel;
class QLineEdit;
class QTabBar;

namespace nms {

class Cqam4 : public CBlockPageView {
    Q_OBJECT
public:
    static constexpr int kStatusTimerId = kQam4StatusTimerId;
    static constexpr uint8_t kStatusCommand = 0x40;

    explicit Cqam4(QWidget* parent = nullptr);
    ~Cqam4() override;

    void OnInitialUpdate() override;
    void OnSelChangeCombo();
    void OnChangeRf1Frequency();
    void OnSelChangeTab(int module);

    // The same bodies for pages that use them as their own: on timer 64 a status request to a bound,
    // online, idle device, then the base handling (timer 4 is the wait's time-out). Starts no timer.
    static void OnTimer(CFormTemplateView& page, int id);
    using CBlockPageView::OnTimer;
    // Copies the controls into the page's members.
    static void OnSelChangeCombo(CFormTemplateView& page);

    FormBinder* Binder() { return m_binder.get(); }
    const Qam4Logic* Logic() const { return m_logic.get(); }
    QTabBar* m_modules = nullptr;
    std::array<QLineEdit*, kQam4Rfs> m_rate{}, m_min{}, m_max{};
    std::array<QLabel*, 9> m_locks{};
    QLabel* m_rateLabel = nullptr;
    QLabel* m_lockCaption = nullptr;

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    void OnRefresh(unsigned what, bool refreshed) override;
    // A bound device gets the poll; the link leaves out an offline or busy one.
    bool MayPoll() const override { return m_device != nullptr; }

private:
    void Build();
    void ShowStatus();

    std::unique_ptr<Qam4Logic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    QWidget* m_form = nullptr;
    std::vector<QLabel*> m_lockLabels;
};

}  // namespace nms
