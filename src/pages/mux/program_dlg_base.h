// What the program edit dialogs share: the name, service ID, PMT PID and PCR PID edits, OK and Cancel, the
// form exchange that DoModal and OK run, and the checks of typed names and numbers (each refusal shows
// its field's message and puts the focus on that field).
#pragma once

#include <QDialog>
#include <cstdint>
#include <initializer_list>
#include <string>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace nms {

class CProgramDlgBase : public QDialog {
    Q_OBJECT
public:
    // Form exchange: false fills the controls; true stores the controls, field by field, stopping with
    // that field's message at the first that fails.
    virtual bool DoDataExchange(bool collect) = 0;
    // 1 when closed with OK, 2 otherwise.
    int DoModal();
    // What the OK button does: true when the dialog may close.
    bool OnOK();

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ServiceIdEdit() const { return m_serviceId; }
    QLineEdit* PmtEdit() const { return m_pmt; }
    QLineEdit* PcrEdit() const { return m_pcr; }

protected:
    // A number typed into edit: decimal or hexadecimal, at most 0xFFFF.
    struct TypedNumber {
        QLineEdit* edit;
        bool hex;
        uint32_t* value;
    };

    CProgramDlgBase(QWidget* parent, const char* title);

    // OK (the default button) and Cancel; made where the dialog's tab order has them.
    void MakeOkCancel();
    // The name row (across the grid), the service ID row and the PMT / PCR row; returns the next row.
    int AddProgramRows(QGridLayout* grid);
    // The grid, then OK and Cancel at the right below it.
    void FinishLayout(QGridLayout* grid);

    // The typed name in the device's code page; false when a character does not fit it.
    bool NameToDevice(const QString& text, std::string* bytes);
    // False when a name of size bytes exceeds maxBytes.
    bool NameFits(size_t size, int maxBytes);
    // Each number in order; false at the first that is not one or does not fit.
    static bool ReadNumbers(std::initializer_list<TypedNumber> numbers);

    QLineEdit* m_name;
    QLineEdit* m_serviceId;
    QLineEdit* m_pmt;
    QLineEdit* m_pcr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace nms
