// The "Program Setting" page of the one-channel CI/CAM receiver with multiplexer.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/cam_mux_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class CEditProgramDlg;

class Ccam_ird_mux : public CFormTemplateView {
    Q_OBJECT
public:
    explicit Ccam_ird_mux(QWidget* parent = nullptr);
    ~Ccam_ird_mux() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnParse();
    void OnRefresh();
    void OnSetConfig();
    void OnSetEcm();
    void OnSelChangeOperate();
    void OnClickProgramList();
    void OnDblClickProgramList();
    void OnClickElementList();
    void OnDblClickElementEcmList();
    void OnDblClickProgramEcmList();

    // Runs the program edit dialog; tests replace it (true: OK).
    std::function<bool(CEditProgramDlg& dialog)> m_runEdit;

    FormBinder& ConfigBinder() { return *m_config; }
    const CamMuxLogic& Logic() const { return m_logic; }
    QTabBar* m_tabs = nullptr;
    QComboBox* m_operate = nullptr;
    QTreeWidget* m_programs = nullptr;
    QTreeWidget* m_elements = nullptr;
    QTreeWidget* m_elementEcm = nullptr;
    QTreeWidget* m_programEcm = nullptr;
    QTreeWidget* m_cat = nullptr;
    QLabel* m_cas1 = nullptr;
    QLabel* m_cas2 = nullptr;
    std::array<QCheckBox*, kCamMuxPassBoxes> m_pass{};
    QPushButton* m_parse = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_setConfig = nullptr;
    QPushButton* m_setEcm = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.Refused(); }

private:
    void ClearLists();
    void FillProgramList();
    void FillCatList();
    void FillEcmList(QTreeWidget* list, int input, int first, int count, uint32_t mask,
                     const std::function<uint16_t(int)>& pid);
    int SelectedRow(QTreeWidget* list) const;

    CamMuxLogic m_logic;
    std::unique_ptr<FormBinder> m_config;
};

}  // namespace nms
