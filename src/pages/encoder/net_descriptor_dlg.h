// The script text dialog of the Magnum encoder page ("Network Descriptor"): one multi-line edit.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace nms {

class CNetDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNetDescriptorDlg(QWidget* parent = nullptr);

    // The text in the device's code page: shown on opening, taken back on OK.
    std::string m_text;

    // 1 when closed with OK (m_text holds the edit's text), 2 otherwise.
    int DoModal();
    void OnOK();
    QPlainTextEdit* Edit() const { return m_edit; }

private:
    QPlainTextEdit* m_edit;
};

}  // namespace nms
