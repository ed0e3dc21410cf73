// The "Program" page of the one-channel CI/CAM receiver: the source, its programs with their streams and
// CA entries, each program's CAM choice and service id, and the output's basic parameters.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/cam_ird_program_logic.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace nms {

class CCAMIRDView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CCAMIRDView(QWidget* parent = nullptr);
    ~CCAMIRDView() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnParse();
    void OnRefresh();
    void OnSendSelection();
    void OnSetServiceId();
    void OnSelChangeSource();
    void OnSelChangeOperate();
    void OnClickProgramList();

    FormBinder& ConfigBinder() { return *m_config; }
    QComboBox* m_source = nullptr;
    QComboBox* m_operate = nullptr;
    QTreeWidget* m_programs = nullptr;
    QTreeWidget* m_elements = nullptr;
    QTreeWidget* m_ca = nullptr;
    QTreeWidget* m_cat = nullptr;
    QLineEdit* m_serviceId = nullptr;
    QPushButton* m_parse = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_sendSelection = nullptr;
    QPushButton* m_setServiceId = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.Refused(); }

private:
    void ClearLists();
    void FillProgramList();
    void FillCatList();
    int SelectedRow() const;

    CamIrdProgramLogic m_logic;
    std::unique_ptr<FormBinder> m_config;
};

// Shared by the CAM receiver program pages.
QTreeWidget* MakeReportList(QWidget* parent, const QStringList& columns);

}  // namespace nms
