#include "pages/psi/ca_descriptor_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "pages/psi/psi_hex.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

}  // namespace

CCaDescriptorDlg::CCaDescriptorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Edit");
    auto* grid = new QGridLayout(this);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    m_tree->setDragEnabled(false);
    grid->addWidget(m_tree, 0, 0, 4, 1);
    m_caSystemIdEdit = new QLineEdit(this);
    m_caSystemIdEdit->setReadOnly(true);
    m_caPidEdit = new QLineEdit(this);
    m_caPidEdit->setReadOnly(true);
    m_privateEdit = new QPlainTextEdit(this);
    grid->addWidget(new QLabel("CA System ID: 0x ", this), 0, 1);
    grid->addWidget(m_caSystemIdEdit, 0, 2);
    grid->addWidget(new QLabel("CA PID: 0x", this), 1, 1);
    grid->addWidget(m_caPidEdit, 1, 2);
    grid->addWidget(new QLabel("Private Data: ", this), 2, 1);
    grid->addWidget(m_privateEdit, 3, 1, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 4, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCaDescriptorDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickTree(item); });
}

int CCaDescriptorDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CCaDescriptorDlg::OnInitDialog() {
    if (m_initialised)
        return;
    m_initialised = true;
    int length = std::max(0, std::min(m_sectionLength, kCaSectionBufferSize));
    m_parsed.Parse(m_catFlag != 0, m_section, length);
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (!root)
        root = new QTreeWidgetItem(m_tree, {m_catFlag ? "CAT" : "PMT"});
    root->setData(0, kEntryRole, -1);
    const auto& entries = m_parsed.Entries();
    for (int k = 0; k < static_cast<int>(entries.size()); ++k) {
        const CaDescriptorEntry& e = entries[k];
        int length = 4 + static_cast<int>(e.privateText.size()) / 2;
        auto* node = new QTreeWidgetItem(
            root, {QString::fromStdString(psihex::Format("descriptor_tag:     0x%02x", 9))});
        new QTreeWidgetItem(node,
                            {QString::fromStdString(psihex::Format("descriptor_length:  0x%02x", length))});
        new QTreeWidgetItem(node,
                            {QString::fromStdString(psihex::Format("ca_system_id :0x%04x", e.caSystemId))});
        new QTreeWidgetItem(node, {QString::fromStdString(psihex::Format("ca_pid: 0x%04x", e.caPid))});
        for (QTreeWidgetItem* item : {node, node->child(0), node->child(1), node->child(2)}) {
            item->setData(0, Qt::UserRole,
                          static_cast<uint32_t>(e.caPid) * 65536u + static_cast<uint32_t>(k));
            item->setData(0, kEntryRole, k);
        }
    }
    root->setExpanded(true);
}

int CCaDescriptorDlg::EntryOf(const QTreeWidgetItem* item) const {
    if (!item)
        return -1;
    bool ok = false;
    int k = item->data(0, kEntryRole).toInt(&ok);
    return ok && k >= 0 && k < static_cast<int>(m_parsed.Entries().size()) ? k : -1;
}

bool CCaDescriptorDlg::CheckPrivateData() {
    std::string message = CaDescriptorSection::CheckPrivateText(m_privateEdit->toPlainText().toStdString());
    if (message.empty())
        return true;
    ShowMessageBox(message);
    return false;
}

void CCaDescriptorDlg::OnClickTree(QTreeWidgetItem* item) {
    if (!item || !CheckPrivateData())
        return;
    auto& entries = m_parsed.Entries();
    int previous = EntryOf(m_current);
    if (m_current && m_current != item && previous >= 0) {
        entries[previous].privateText = m_privateEdit->toPlainText().toStdString();
    }
    int k = EntryOf(item);
    if (k >= 0) {
        m_caSystemIdEdit->setText(QString::fromStdString(psihex::Format("%x", entries[k].caSystemId)));
        m_caPidEdit->setText(QString::fromStdString(psihex::Format("%x", entries[k].caPid)));
        m_privateEdit->setPlainText(QString::fromStdString(entries[k].privateText));
    }
    m_current = item;
}

void CCaDescriptorDlg::OnOK() {
    if (!CheckPrivateData())
        return;
    int k = EntryOf(m_current);
    if (k >= 0)
        m_parsed.Entries()[k].privateText = m_privateEdit->toPlainText().toStdString();
    // A section this dialog cannot rebuild soundly is refused, not confirmed.
    int length = 0;
    std::string problem;
    if (!m_parsed.Rebuild(m_section, &length, &problem)) {
        ShowMessageBox(problem);
        return;
    }
    m_sectionLength = length;
    accept();
}

}  // namespace nms
