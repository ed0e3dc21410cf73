// "LCN": one logical channel number for the LCN list of a transport stream. The caller sets the two texts,
// the number format, the NORDIG flag and the channel-list values, runs DoModal() and on 1 reads the
// format, m_serviceId, m_lcn and the channel-list values.
#pragma once

#include <QDialog>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace nms {

class CLcnDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLcnDlg(QWidget* parent = nullptr);

    int DoModal();
    // Fills the controls from the members (DoModal starts with it).
    void OnInitDialog();
    void OnHex();
    void OnDecimal();
    void OnOK();

    QLineEdit* m_serviceIdEdit;
    QLineEdit* m_lcnEdit;
    QLineEdit* m_channelListIdEdit;
    QLineEdit* m_channelListNameEdit;
    QLineEdit* m_countryCodeEdit;
    QRadioButton* m_hex;
    QRadioButton* m_decimal;
    QGroupBox* m_nordigGroup;

    std::string m_serviceIdText = "0000";
    std::string m_lcnText = "000";
    int m_channelListId = 0;
    std::string m_channelListName;  // device bytes (GBK)
    uint32_t m_countryCode = 0;
    uint8_t m_decimalFormat = 0;  // 0: the texts are hexadecimal, 1: decimal
    uint16_t m_serviceId = 0;
    uint16_t m_lcnValue = 0;
    int m_nordig = 0;  // 0 hides the channel-list fields

private:
    bool m_shownDecimal = false;  // the format the texts are shown in
};

}  // namespace nms
