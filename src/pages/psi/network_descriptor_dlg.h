// "Network Descriptor": one descriptor as a tag and hexadecimal data, for the NIT page's network
// descriptors and the private descriptors of a transport stream. The caller may set m_tagText and
// m_dataText (editing a row), runs DoModal() and on 1 reads m_tag and m_data.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace nms {

class CNetworkDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    // maxDataCharacters: how much data the caller can keep (511 characters, 255 bytes, at most).
    explicit CNetworkDescriptorDlg(QWidget* parent = nullptr, int maxDataCharacters = 511);

    int DoModal();
    // Fills the controls from the members (DoModal starts with it).
    void OnInitDialog();
    void OnOK();

    QLineEdit* m_dataEdit;
    QLineEdit* m_tagEdit;

    std::string m_dataText;
    std::string m_tagText;
    // Results after OK: the tag, and the data text cut to an even number of characters.
    uint8_t m_tag = 0;
    std::string m_data;

private:
    int m_maxData;
};

}  // namespace nms
