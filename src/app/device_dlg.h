// The Add Device / Edit Device dialog. The caller fills the members (or leaves them for a new device), runs
// DoModal() and, on 1 (OK), takes the members back:
//     CDeviceDlg dlg(parent);
//     dlg.m_editMode = 1; dlg.m_deviceName = ...; dlg.m_address = "10.0.0.5"; dlg.m_port = 2009;
//     dlg.m_typeName = DeviceTypeAt(row).name;
//     if (dlg.DoModal() == 1) { FindDeviceTypeByName(dlg.m_typeName) ...; inet_addr(dlg.m_address) ... }
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;

namespace nms {

class CIPAddressCtrl;

constexpr int kNameFieldMaxBytes = 47;  // the 48-byte name fields of the device list keep a NUL

// Keeps an edit's text within maxBytes code-page bytes: an edit that would go beyond is undone.
void LimitCodePageBytes(QLineEdit* edit, int maxBytes);

class CDeviceDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDeviceDlg(QWidget* parent = nullptr);

    int m_editMode = 0;        // 0 add, 1 edit
    std::string m_deviceName;  // code-page bytes
    std::string m_address;     // dotted text; any address, 0.0.0.0 included
    int m_port = 2009;         // 1 to 65535 after OK
    std::string m_typeName;    // a catalogue name, leading blanks kept; empty: none chosen

    // Fills the controls from the members; DoModal calls it.
    void OnInitDialog();
    // Reads and checks the controls; true when the dialog may close with OK.
    bool OnOK();
    // 1 when closed with OK, 2 otherwise.
    int DoModal();

    QComboBox* TypeList() const { return m_type; }
    QLineEdit* NameEdit() const { return m_name; }
    CIPAddressCtrl* AddressCtrl() const { return m_addressCtrl; }
    QLineEdit* PortEdit() const { return m_portEdit; }

private:
    QComboBox* m_type;
    QLineEdit* m_name;
    CIPAddressCtrl* m_addressCtrl;
    QLineEdit* m_portEdit;
};

}  // namespace nms
