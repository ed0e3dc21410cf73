// "Add PID": one PID pass-through entry (old and new PID, input and, by variant, the output), or in filter
// mode the one PID of the PID filter page. The caller fills m_fields, calls DoModal() and takes the fields
// back when it returns 1 (OK).
#pragma once

#include <QDialog>

#include "pages/mux/pid_forward_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CAddPidDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddPidDlg(QWidget* parent = nullptr);

    void OnInitDialog();
    int DoModal();
    // Checks the texts; closes with OK only when they pass (a refusal shows its box and keeps it open).
    bool OnOK();
    // Shows the refusal of a PID text and returns false; an empty text passes.
    static bool CheckPidText(const std::string& text);

    AddPidFields m_fields;

    QComboBox* OutputCombo() const { return m_output; }
    QComboBox* InputCombo() const { return m_input; }
    QLineEdit* OldPidEdit() const { return m_oldPid; }
    QLineEdit* NewPidEdit() const { return m_newPid; }
    QLabel* NewPidLabel() const { return m_newPidLabel; }
    QCheckBox* OutputCheck(int bit) const { return m_checks[bit]; }

private:
    QComboBox* m_output;
    QComboBox* m_input;
    QLineEdit* m_oldPid;
    QLineEdit* m_newPid;
    QLabel* m_inputLabel;
    QLabel* m_oldPidLabel;
    QLabel* m_newPidLabel;
    QLabel* m_outputLabel;
    QCheckBox* m_checks[4];
};

}  // namespace nms
