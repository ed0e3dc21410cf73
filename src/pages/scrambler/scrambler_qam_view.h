// The "Scrambler" page of the QAM modulator with built-in scrambler.
#pragma once

#include "pages/scrambler/scrambler_page_base.h"

namespace nms {

class Scrambler_qam : public CScramblerPageBase {
    Q_OBJECT
public:
    static constexpr int kPollMs = 1500;

    explicit Scrambler_qam(QWidget* parent = nullptr);

    void SetDevice(DeviceRecord* device) override;
    void OnTimer(int id) override;
    void OnParse() override;
    void OnRefresh() override;
    void OnSet() override;

    const ScramblerQamLogic& Logic() const { return m_logic; }

    QLineEdit* m_tsId;
    QLineEdit* m_ipInsert;
    QLabel* m_asi1;
    QLabel* m_asi2;

protected:
    void OnShowWindow(bool shown) override;
    void ShowExtraFields(const ScramblerSlotForm& form) override;
    void CollectExtraFields(ScramblerSlotForm* form) const override;
    void ShowStatus() override;

private:
    ScramblerQamLogic m_logic;
};

}  // namespace nms
