// The "Modulator" page of the single-output DVB-S/S2, DTMB, DVB-T and DVB-T2 modulators.
#pragma once

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/modulator/dvbt_logic.h"

class QGroupBox;
class QStackedWidget;

namespace nms {

class CDVBTView : public CBlockPageView {
    Q_OBJECT
public:
    explicit CDVBTView(QWidget* parent = nullptr);
    ~CDVBTView() override;

    void OnInitialUpdate() override;
    void OnSelChangeModulationMode();
    void OnSelChangeConstellation();

    FormBinder& Binder() { return *m_binders[size_t(m_logic->Layout())]; }
    const DvbtModLogic& Logic() const { return *m_logic; }

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_logic ? &Binder() : nullptr; }
    void ShowBlock() override;

private:
    void FillFecList(int standard, int constellation);

    std::unique_ptr<DvbtModLogic> m_logic;
    std::array<std::unique_ptr<FormBinder>, 4> m_binders;
    std::array<QWidget*, 4> m_forms{};
    QStackedWidget* m_stack = nullptr;
    int m_standard = 0, m_constellation = 0;             // the DVB-S/S2 values the FEC list was built for
    std::vector<std::pair<QWidget*, QWidget*>> m_units;  // a field and the unit label beside it
};

}  // namespace nms
