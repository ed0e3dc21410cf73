#include "app/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "pagebase/icon_button.h"

namespace nms {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Velmora");
    auto* picture = new QLabel(this);
    picture->setPixmap(LoadResourceIcon(128, 32, 32));
    m_version = new QLabel(QString::asprintf("%s:%d.%02d", "Version", 5, 21), this);
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(m_version, 1);
    row->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
}

}  // namespace nms
