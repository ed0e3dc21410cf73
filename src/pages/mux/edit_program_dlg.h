// The program edit dialog of ProgramRecord pages (input channel page, encoder ASI page, CAM multiplexer).
// The caller fills m_fields, runs DoModal() and on 1 (OK) takes m_fields back; Cancel leaves them as filled.
#pragma once

#include <QDialog>

#include "pages/mux/edit_program_fields.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CEditProgramDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEditProgramDlg(QWidget* parent = nullptr);

    EditProgramFields m_fields;

    // Form exchange: false fills the controls from m_fields; true stores the controls into m_fields, field
    // by field, stopping with that field's message at the first that fails.
    bool DoDataExchange(bool collect);
    // 1 when closed with OK, 2 otherwise.
    int DoModal();
    // What the OK button does: true when the dialog may close.
    bool OnOK();

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ServiceIdEdit() const { return m_serviceId; }
    QLineEdit* PmtEdit() const { return m_pmt; }
    QLineEdit* PcrEdit() const { return m_pcr; }
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

    QLineEdit* m_name;
    QLineEdit* m_serviceId;
    QLineEdit* m_pmt;
    QLineEdit* m_pcr;
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
