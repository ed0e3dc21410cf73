// The program's own message and confirm box, for callers that want their own button captions. Run it with
// DoModal(): 1 when OK was pressed, 2 for every other way of closing it.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace nms {

class CMessageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMessageDlg(QWidget* parent = nullptr);

    std::string m_caption;     // UTF-8; empty: "Warning"
    std::string m_text;        // UTF-8
    std::string m_okText;      // used unchanged, empty included
    std::string m_cancelText;  // used unchanged
    bool m_showCancel = false;

    // Puts the members into the controls; DoModal calls it, so a long-lived box shows what it was last given.
    void OnInitDialog();
    int DoModal();

    QLabel* TextLabel() const { return m_label; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QLabel* m_label;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace nms
