// "Insert Description": one descriptor by tag, declared length and content.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace nms {

class CDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDescriptorDlg(QWidget* parent = nullptr);

    void OnOK();

    QLineEdit* m_tagEdit;
    QLineEdit* m_lengthEdit;
    QLineEdit* m_contentEdit;

    // Results after OK.
    std::string m_tag;
    int m_length = 0;
    std::string m_content;
};

}  // namespace nms
