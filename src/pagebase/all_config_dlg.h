// The all-configuration dialog: its three configuration buttons are disabled and do nothing; "Exit" closes.
#pragma once

#include <QDialog>

class QPushButton;

namespace nms {

class CAllConfigDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAllConfigDlg(QWidget* parent = nullptr);

    QPushButton* ExitButton() const { return m_exit; }
    QPushButton* SaveAllButton() const { return m_saveAll; }
    QPushButton* DefaultAllButton() const { return m_defaultAll; }
    QPushButton* BackupAllButton() const { return m_backupAll; }

private:
    QPushButton* m_exit;
    QPushButton* m_saveAll;
    QPushButton* m_defaultAll;
    QPushButton* m_backupAll;
};

}  // namespace nms
