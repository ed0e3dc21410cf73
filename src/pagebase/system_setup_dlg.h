// System Setup: the query time span in minutes. Opened from the main frame; it only closes.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace nms {

class CIconButton;

class CSystemSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSystemSetupDlg(QWidget* parent = nullptr);

    std::string m_timeSpan;  // edit 1046; neither filled nor kept

    CIconButton* OkButton() const { return m_ok; }
    CIconButton* CancelButton() const { return m_cancel; }

private:
    QLineEdit* m_span;
    CIconButton* m_ok;
    CIconButton* m_cancel;
};

}  // namespace nms
