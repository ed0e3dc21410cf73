#include "pages/mux/pid_table_buttons.h"

#include <QPushButton>
#include <QTableWidget>

namespace nms {

void SetPidRow(QTableWidget* list, int row, int number, uint16_t pid, const std::string& text) {
    auto* index = new QTableWidgetItem(QString::number(number));
    index->setData(Qt::UserRole, pid);
    list->setItem(row, 0, index);
    list->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(text)));
}

void PidTableButtons::MakeButtons(QWidget* page, bool captioned) {
    m_get = new QPushButton(page);
    m_set = new QPushButton(page);
    m_add = new QPushButton(page);
    m_edit = new QPushButton(page);
    m_delete = new QPushButton(page);
    m_empty = new QPushButton(page);
    if (captioned)
        SetCaptions();
    QObject::connect(m_get, &QPushButton::clicked, page, [this] { OnGet(); });
    QObject::connect(m_set, &QPushButton::clicked, page, [this] { OnSet(); });
    QObject::connect(m_add, &QPushButton::clicked, page, [this] { OnAddPid(); });
    QObject::connect(m_edit, &QPushButton::clicked, page, [this] { OnEdit(); });
    QObject::connect(m_delete, &QPushButton::clicked, page, [this] { OnDelete(); });
    QObject::connect(m_empty, &QPushButton::clicked, page, [this] { OnEmpty(); });
}

void PidTableButtons::SetCaptions() {
    m_get->setText("Get");
    m_set->setText("Set");
    m_add->setText("Add PID");
    m_edit->setText("Edit");
    m_delete->setText("Delete");
    m_empty->setText("Empty");
}

}  // namespace nms
