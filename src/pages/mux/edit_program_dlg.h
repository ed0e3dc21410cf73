// The program edit dialog of ProgramRecord pages (input channel page, encoder ASI page, CAM multiplexer).
// The caller fills m_fields, runs DoModal() and on 1 (OK) takes m_fields back; Cancel leaves them as filled.
#pragma once

#include "pages/mux/edit_program_fields.h"
#include "pages/mux/program_dlg_base.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CEditProgramDlg : public CProgramDlgBase {
    Q_OBJECT
public:
    explicit CEditProgramDlg(QWidget* parent = nullptr);

    EditProgramFields m_fields;

    // Form exchange with m_fields.
    bool DoDataExchange(bool collect) override;

    QLineEdit* EcmEdit() const { return m_ecm; }
    QLineEdit* ElementPidEdit() const { return m_elementPid; }
    QComboBox* CaCombo() const { return m_ca; }
    QComboBox* ElementCombo() const { return m_element; }
    QComboBox* IpOutputCombo() const { return m_ipOutput; }
    QLabel* IpOutputLabel() const { return m_ipLabel; }

    // The operator chose another entry (the combos' activated signal).
    void OnCaChanged(int row);
    void OnElementChanged(int row);

private:
    bool StoreEcm();
    bool StoreElementPid();

    QLineEdit* m_ecm;
    QLineEdit* m_elementPid;
    QComboBox* m_ca;
    QComboBox* m_element;
    QComboBox* m_ipOutput;
    QLabel* m_ipLabel;
    int m_caEntry = -1;       // CA entry shown in the ECM PID edit
    int m_elementEntry = -1;  // element shown in the element PID edit
    std::string m_shownName;  // the name as filled, to send it back unchanged when not edited
};

}  // namespace nms
