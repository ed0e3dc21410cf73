#include "pages/scrambler/ac_table_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/atomic_file.h"
#include "pages/scrambler/ac_dlg_rows.h"
#include "pages/scrambler/ac_edit_dlg.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

CAcTableDlg::CAcTableDlg(QWidget* parent) : QDialog(parent) {
    m_runEdit = [](CAcEditDlg& dialog) { return dialog.exec() == QDialog::Accepted; };
    m_title = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({"NO.", "AC Name", "AC Data"});
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 150);
    m_list->setColumnWidth(2, 300);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* text;
        void (CAcTableDlg::*slot)();
    } actions[] = {{"Add", &CAcTableDlg::OnAdd},       {"Edit", &CAcTableDlg::OnEdit},
                   {"Delete", &CAcTableDlg::OnDelete}, {"Load", &CAcTableDlg::OnLoad},
                   {"Save", &CAcTableDlg::OnSave},     {"OK", &CAcTableDlg::OnOK}};
    for (const auto& a : actions) {
        auto* button = new QPushButton(a.text, this);
        connect(button, &QPushButton::clicked, this, a.slot);
        buttons->addWidget(button);
    }
    auto* cancel = new QPushButton("Cancel", this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(560, 360);
}

void CAcTableDlg::OnInitDialog() {
    for (size_t k = 0; k < m_ecm.size(); k += 2)
        m_ecm[k] = 0, m_ecm[k + 1] = 1;
    if (m_image)
        m_copy = *m_image;
    setWindowTitle("AC Table");
    m_title->setText(QString::asprintf("%s: %d %s", "Channel", m_table + 1, "AC Table"));
    FillList();
}

int CAcTableDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

int CAcTableDlg::SelectedRow() const {
    const auto items = m_list->selectedItems();
    return items.isEmpty() ? -1 : m_list->indexOfTopLevelItem(items.front());
}

void CAcTableDlg::AppendRow(int number, const AcRecord& record) {
    m_list->addTopLevelItem(
        new QTreeWidgetItem({QString::number(number), QString::fromStdString(GbkToUtf8(record.name)),
                             QString::fromStdString(AcDataText(record.data, true))}));
}

void CAcTableDlg::FillList() {
    m_list->clear();
    m_records = ReadSasAcEntries(m_copy);
    for (size_t k = 0; k < m_records.size(); ++k)
        AppendRow(int(k) + 1, m_records[k]);
}

void CAcTableDlg::OnAdd() {
    // The table holds 255 entries in 2048 bytes.
    if (m_records.size() >= size_t(kSasAcMaxEntries) || SasAcPackedLength(m_records) >= kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    CAcEditDlg dialog(this);
    dialog.m_number = int(m_records.size()) + 1;
    if (!m_runEdit(dialog))
        return;
    if (SasAcPackedLength(m_records) + dialog.m_record.PackedSize() > kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    m_records.push_back(dialog.m_record);
    AppendRow(int(m_records.size()), dialog.m_record);
}

void CAcTableDlg::OnEdit() {
    const int row = SelectedRow();
    if (row < 0 || row >= int(m_records.size()))
        return;
    AcRecord& record = m_records[size_t(row)];
    CAcEditDlg dialog(this);
    dialog.m_number = row + 1;
    dialog.m_editMode = 1;
    dialog.m_name = record.name;
    dialog.m_dataText = AcDataText(record.data, true);
    if (!m_runEdit(dialog))
        return;
    if (SasAcPackedLength(m_records) - record.PackedSize() + dialog.m_record.PackedSize() > kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    record.name = dialog.m_record.name;
    record.data = dialog.m_record.data;
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    item->setText(1, QString::fromStdString(GbkToUtf8(record.name)));
    item->setText(2, QString::fromStdString(AcDataText(record.data, true)));
}

void CAcTableDlg::OnDelete() {
    DeleteAcRow(m_list, &m_records, SelectedRow());
}

void CAcTableDlg::OnLoad() {
    std::vector<uint8_t> bytes;
    if (!ChooseAcFileToLoad(&bytes))
        return;
    LoadSasAcFile(bytes, &m_copy);
    FillList();
}

bool CAcTableDlg::Pack() {
    if (!PackSasAcEntries(m_records, &m_copy)) {
        ShowMessageBox(kAcFullMessage);
        return false;
    }
    return true;
}

void CAcTableDlg::OnSave() {
    const FileRequest request{true, std::string(), kAcFileFilter, "ac", "ac_info"};
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty() || !Pack())
        return;
    std::string error;
    if (!WriteFileAtomically(path, SasAcFileBytes(m_copy), &error)) {
        ShowMessageBox("Cannot save " + path + ": " + error);
        return;
    }
    OnOK();
}

void CAcTableDlg::OnOK() {
    if (!Pack())
        return;
    if (m_image)
        *m_image = m_copy;
    accept();
}

}  // namespace nms
