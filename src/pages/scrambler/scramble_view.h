// The "Scrambler" page of the stand-alone ASI scrambler.
#pragma once

#include <functional>

#include "pages/scrambler/scramble_logic.h"
#include "pages/scrambler/scrambler_page_base.h"

class QPoint;

namespace nms {

class CCaDescriptorDlg;
class CScrambleProgramDlg;

class CScrambleView : public CScramblerPageBase {
    Q_OBJECT
public:
    static constexpr int kPollMs = 2000;
    enum : int { ID_EDIT_CAT = 32807, ID_EDIT_PMT = 32808, ID_EDIT_PROGRAM = 32814 };

    explicit CScrambleView(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnTimer(int id) override;
    void OnParse() override;
    void OnRefresh() override;
    void OnSet() override;
    void OnContextMenu(const QPoint& pos);
    void OnEditCat();
    void OnEditPmt();
    void OnEditProgram();

    // Modal runs; tests replace them. The menu returns the chosen command (0: none).
    std::function<int(const QPoint& pos, bool onRoot)> m_runMenu;
    std::function<bool(CCaDescriptorDlg& dialog)> m_runCaDialog;
    std::function<bool(CScrambleProgramDlg& dialog)> m_runProgramDialog;

    const ScrambleLogic& Logic() const { return m_logic; }

    QLineEdit* m_bitrate;
    QLineEdit* m_tsId;
    QCheckBox* m_sdt;
    QCheckBox* m_fixCw;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void ShowExtraFields(const ScramblerSlotForm& form) override;
    void CollectExtraFields(ScramblerSlotForm* form) const override;

private:
    void ShowTs();
    void OpenSectionDialog();

    ScrambleLogic m_logic;
};

}  // namespace nms
