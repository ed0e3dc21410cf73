// The about box: the program's version and an OK button.
#pragma once

#include <QDialog>

class QLabel;

namespace nms {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    QLabel* VersionLabel() const { return m_version; }

private:
    QLabel* m_version;
};

}  // namespace nms
