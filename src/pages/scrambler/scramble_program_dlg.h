// "EDIT PROGRAM" of the stand-alone scrambler: a program's service id, name, PMT PID and, on newer
// devices, its PCR PID and element PIDs, with the program's fixed control word when the device's CW
// table was read.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CScrambleProgramDlg : public QDialog {
    Q_OBJECT
public:
    explicit CScrambleProgramDlg(QWidget* parent = nullptr);

    // Set by the opener before the run.
    int m_version = 0;  // software version (major x 256 + minor)
    uint16_t m_serviceId = 0;
    std::string m_name;  // code-page bytes
    uint16_t m_pmtPid = 0;
    uint16_t m_pcrPid = 0;
    std::vector<uint8_t> m_streamTypes;
    std::vector<uint16_t> m_pids;
    bool m_cwShown = false;
    std::vector<uint8_t> m_cw = std::vector<uint8_t>(8, 0);

    void OnInitDialog();
    void OnSelChangeElement();
    void OnChangeElementPid();
    // Takes the fields; stays open with a message when one is wrong.
    void OnOK();
    int exec() override;

    QLineEdit* m_serviceIdEdit;
    QLineEdit* m_nameEdit;
    QLineEdit* m_pmtPidEdit;
    QLineEdit* m_pcrPidEdit;
    QComboBox* m_elements;
    QLineEdit* m_elementPidEdit;
    QLabel* m_cwLabel;
    QLineEdit* m_cwEdit;
};

}  // namespace nms
