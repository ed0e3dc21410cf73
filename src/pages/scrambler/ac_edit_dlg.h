// "Add AC" / "Edit AC": one access-criteria entry: its name, its data as hexadecimal text and its ECM id
// (shown, not editable). OK checks the fields in order and stays open with the first failure's message.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "pages/scrambler/ac_table.h"

class QLineEdit;

namespace nms {

class CAcEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAcEditDlg(QWidget* parent = nullptr);

    // Set by the opener before the run.
    int m_number = 1;
    int m_editMode = 0;  // 0 add, 1 edit
    std::string m_name;  // code-page bytes
    std::string m_dataText;
    std::string m_ecmText = "1";

    // After OK: the entry (name, data bytes, ECM id).
    AcRecord m_record;

    // Fills the fields from the members; exec() runs it first.
    void OnInitDialog();
    // Takes and checks the fields; accepts the dialog when they pass.
    void OnOK();
    int exec() override;

    QLineEdit* m_numberEdit;
    QLineEdit* m_nameEdit;
    QLineEdit* m_dataEdit;
    QLineEdit* m_ecmEdit;
};

}  // namespace nms
