// "Add Descriptor": one new descriptor by tag and hex data.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;

namespace nms {

class CAddDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddDescriptorDlg(QWidget* parent = nullptr);

    void OnOK();

    QLineEdit* m_typeEdit;
    QLineEdit* m_dataEdit;

    // Results after OK.
    uint8_t m_tag = 0;
    std::string m_dataText;
    std::vector<uint8_t> m_data;
};

}  // namespace nms
