// "Add PID" of the segmented pass-through page: the input, old and new PID and up to sixteen outputs. The
// caller fills m_fields, calls DoModal() and takes the fields back when it returns 1 (OK).
#pragma once

#include <QDialog>

#include "pages/mux/pid_segment_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace nms {

class CAddPidMultiDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddPidMultiDlg(QWidget* parent = nullptr);

    void OnInitDialog();
    int DoModal();
    void OnOK();
    void OnSelectAll();

    AddPidMultiFields m_fields;

    QComboBox* InputCombo() const { return m_input; }
    QLineEdit* OldPidEdit() const { return m_oldPid; }
    QLineEdit* NewPidEdit() const { return m_newPid; }
    QCheckBox* OutputCheck(int bit) const { return m_checks[bit]; }
    QCheckBox* SelectAllCheck() const { return m_selectAll; }
    QGroupBox* OutputGroup() const { return m_group; }

private:
    QComboBox* m_input;
    QLineEdit* m_oldPid;
    QLineEdit* m_newPid;
    QGroupBox* m_group;
    QCheckBox* m_checks[16];
    QCheckBox* m_selectAll;
};

}  // namespace nms
