#include "pages/scrambler/ac_list_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
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

CAcListDlg::CAcListDlg(int slot, const AcTableImage& image, const AcEcmBlock& ecm, QWidget* parent)
    : QDialog(parent), m_slot(slot), m_image(image), m_ecm(ecm) {
    m_runEdit = [](CAcEditDlg& dialog) { return dialog.exec() == QDialog::Accepted; };
    m_title = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({"AC NO.", "AC Index", "AC Data", "ECM ID(0x)"});
    const int widths[] = {80, 100, 250, 120};
    for (int c = 0; c < 4; ++c)
        m_list->setColumnWidth(c, widths[c]);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* text;
        void (CAcListDlg::*slot)();
    } actions[] = {{"Add", &CAcListDlg::OnAdd},       {"Edit", &CAcListDlg::OnEdit},
                   {"Delete", &CAcListDlg::OnDelete}, {"Load", &CAcListDlg::OnLoad},
                   {"Save", &CAcListDlg::OnSave},     {"OK", &CAcListDlg::OnOK}};
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
    resize(620, 360);
    OnInitDialog();
}

void CAcListDlg::OnInitDialog() {
    setWindowTitle("AC Table");
    m_title->setText(QString::asprintf("%s: %d %s", "Channel", m_slot + 1, "AC Table"));
    FillList();
}

int CAcListDlg::exec() {
    return QDialog::exec();
}

int CAcListDlg::SelectedRow() const {
    const auto items = m_list->selectedItems();
    return items.isEmpty() ? -1 : m_list->indexOfTopLevelItem(items.front());
}

void CAcListDlg::AppendRow(int number, const AcRecord& record, const QString& dataText,
                           const QString& ecmText) {
    m_list->addTopLevelItem(new QTreeWidgetItem(
        {QString::number(number), QString::fromStdString(GbkToUtf8(record.name)), dataText, ecmText}));
}

void CAcListDlg::FillList() {
    m_list->clear();
    m_records = ReadAcEntries(m_image, m_ecm);
    for (size_t k = 0; k < m_records.size(); ++k)
        AppendRow(int(k) + 1, m_records[k], QString::fromStdString(AcDataText(m_records[k].data)),
                  QString::asprintf("%x", unsigned(m_records[k].ecmId)));
}

bool CAcListDlg::PackList() {
    return PackAcEntries(m_records, &m_image, &m_ecm);
}

void CAcListDlg::OnAdd() {
    const int length = AcPackedLength(m_records);
    if (length >= kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    CAcEditDlg dialog(this);
    dialog.m_number = int(m_records.size()) + 1;
    dialog.m_editMode = 0;
    if (!m_runEdit(dialog))
        return;
    if (length + dialog.m_record.PackedSize() > kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    m_records.push_back(dialog.m_record);
    AppendRow(int(m_records.size()), dialog.m_record, QString::fromStdString(dialog.m_dataText),
              QString::fromStdString(dialog.m_ecmText));
}

void CAcListDlg::OnEdit() {
    const int row = SelectedRow();
    if (row < 0 || row >= int(m_records.size()))
        return;
    AcRecord& record = m_records[size_t(row)];
    CAcEditDlg dialog(this);
    dialog.m_number = row + 1;
    dialog.m_editMode = 1;
    dialog.m_name = record.name;
    dialog.m_dataText = AcDataText(record.data);
    dialog.m_ecmText = QString::asprintf("%x", unsigned(record.ecmId)).toStdString();
    if (!m_runEdit(dialog))
        return;
    // The edited entry must still let the table fit its image.
    if (AcPackedLength(m_records) - record.PackedSize() + dialog.m_record.PackedSize() > kAcImageSize) {
        ShowMessageBox(kAcFullMessage);
        return;
    }
    record = dialog.m_record;
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    item->setText(1, QString::fromStdString(GbkToUtf8(record.name)));
    item->setText(2, QString::fromStdString(dialog.m_dataText));
    item->setText(3, QString::fromStdString(dialog.m_ecmText));
}

void CAcListDlg::OnDelete() {
    DeleteAcRow(m_list, &m_records, SelectedRow());
}

void CAcListDlg::OnLoad() {
    std::vector<uint8_t> bytes;
    if (!ChooseAcFileToLoad(&bytes))
        return;
    LoadAcFile(bytes, &m_image, &m_ecm);
    FillList();
}

void CAcListDlg::OnSave() {
    const FileRequest request{true, std::string(), kAcFileFilter, "ac", "ac_info"};
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    PackList();
    std::string error;
    if (!WriteFileAtomically(path, AcFileBytes(m_image, m_ecm), &error))
        ShowMessageBox("Cannot save " + path + ": " + error);
}

void CAcListDlg::OnOK() {
    PackList();
    accept();
}

}  // namespace nms
