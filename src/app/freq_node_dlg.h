// The Add / Edit Frequency Node dialog. Fill m_nodeName (and m_editMode) before DoModal(); on 1 (OK)
// m_nodeName holds the new name as code-page bytes.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace nms {

class CFreqNodeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFreqNodeDlg(QWidget* parent = nullptr);

    int m_editMode = 0;
    std::string m_nodeName;  // code-page bytes

    void OnInitDialog();
    bool OnOK();
    int DoModal();

    QLineEdit* NameEdit() const { return m_name; }

private:
    QLineEdit* m_name;
};

}  // namespace nms
