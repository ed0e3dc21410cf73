#include "pages/psi/mux_nit_edit_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pagebase/text_conversion.h"
#include "pages/psi/network_descriptor_dlg.h"
#include "pages/psi/nit_descriptor_dlg.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

int g_markedRow = -1;
constexpr int kMarked = 0xFF00;
constexpr int kUnmarked = 0xFE00;

QTreeWidget* MakeList(QWidget* parent, const std::vector<std::pair<const char*, int>>& columns) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList labels;
    for (const auto& c : columns)
        labels << c.first;
    list->setHeaderLabels(labels);
    // The given widths, widened where the heading would be cut off in the page's font.
    const QFontMetrics metrics(list->header()->font());
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const auto& c = columns[static_cast<size_t>(i)];
        list->setColumnWidth(i, std::max(c.second, metrics.horizontalAdvance(c.first) + 12));
    }
    return list;
}

int SelectedRow(QTreeWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

QString Text(const std::string& device) {
    return QString::fromStdString(GbkToUtf8(device));
}

}  // namespace

int CMuxNitEditView::MarkedRow() {
    return g_markedRow;
}

CMuxNitEditView::CMuxNitEditView(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<MuxNitLogic>(0);
    m_channelLabel = new QLabel("Channel", this);
    m_channel = new QComboBox(this);
    m_get = new QPushButton("Get", this);
    m_getB = new QPushButton("Get B Channel", this);
    m_set = new QPushButton("Set", this);
    m_sendB = new QPushButton("Send to B", this);
    m_readLocal = new QPushButton("Read Local", this);
    m_saveLocal = new QPushButton("Save Local", this);
    m_tsAdd = new QPushButton("Add", this);
    m_tsEdit = new QPushButton("Edit", this);
    m_tsDelete = new QPushButton("Delete", this);
    m_tsClear = new QPushButton("Clear", this);
    m_ndCheck = new QCheckBox("Network Descriptor:", this);
    m_ndAdd = new QPushButton("Add", this);
    m_ndDelete = new QPushButton("Delete", this);
    m_ndEdit = new QPushButton("Edit", this);
    m_ndClear = new QPushButton("Clear", this);
    m_ndList = MakeList(this, {{"Tag(0X)", 80}, {"Data(0X)", 300}});
    m_tsList = MakeList(this, {{"TS ID(0x)", 60},
                               {"Orig. Net. ID(0x)", 60},
                               {"Frequency:", 130},
                               {"Symbol:", 100},
                               {"Modulation Mode", 90},
                               {"Polarization:", 115},
                               {"Delivery System", 90},
                               {"Bandwidth", 60},
                               {"Transmission Mode", 90},
                               {"Guard Interval:", 90},
                               {"FEC Rate:", 90}});
    m_name = new QLineEdit(this);
    m_id = new QLineEdit(this);
    m_version = new QLineEdit(this);
    m_id->setMaxLength(4);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Net. Name:", this), 0, 0);
    fields->addWidget(m_name, 0, 1);
    fields->addWidget(new QLabel("Net. ID:0X", this), 1, 0);
    fields->addWidget(m_id, 1, 1);
    fields->addWidget(new QLabel("Version", this), 2, 0);
    fields->addWidget(m_version, 2, 1);
    fields->addWidget(m_channelLabel, 3, 0);
    fields->addWidget(m_channel, 3, 1);

    auto* ndButtons = new QVBoxLayout;
    for (QWidget* w : {m_ndAdd, m_ndDelete, m_ndEdit, m_ndClear})
        ndButtons->addWidget(static_cast<QWidget*>(w));
    ndButtons->addStretch();
    auto* ndRow = new QHBoxLayout;
    ndRow->addWidget(m_ndList, 1);
    ndRow->addLayout(ndButtons);
    auto* ndBox = new QVBoxLayout;
    ndBox->addWidget(m_ndCheck);
    ndBox->addLayout(ndRow);

    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addLayout(ndBox, 1);

    m_buttonRow = new QHBoxLayout;
    for (QWidget* w : {m_tsAdd, m_tsEdit, m_tsDelete, m_tsClear})
        m_buttonRow->addWidget(static_cast<QWidget*>(w));
    m_buttonRow->addStretch();
    for (QWidget* w : {m_readLocal, m_saveLocal, m_get, m_getB, m_set, m_sendB})
        m_buttonRow->addWidget(static_cast<QWidget*>(w));
    m_exchangeRow = new QHBoxLayout;
    m_exchangeRow->addStretch();

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(m_tsList, 1);
    page->addLayout(m_buttonRow);
    page->addLayout(m_exchangeRow);

    connect(m_get, &QPushButton::clicked, this, &CMuxNitEditView::OnGet);
    connect(m_getB, &QPushButton::clicked, this, &CMuxNitEditView::OnGetB);
    connect(m_set, &QPushButton::clicked, this, &CMuxNitEditView::OnSendA);
    connect(m_sendB, &QPushButton::clicked, this, &CMuxNitEditView::OnSendB);
    connect(m_readLocal, &QPushButton::clicked, this, &CMuxNitEditView::OnReadLocal);
    connect(m_saveLocal, &QPushButton::clicked, this, &CMuxNitEditView::OnSaveLocal);
    connect(m_tsAdd, &QPushButton::clicked, this, &CMuxNitEditView::OnAddTs);
    connect(m_tsEdit, &QPushButton::clicked, this, &CMuxNitEditView::OnEditTs);
    connect(m_tsDelete, &QPushButton::clicked, this, &CMuxNitEditView::OnDeleteTs);
    connect(m_tsClear, &QPushButton::clicked, this, &CMuxNitEditView::OnClearTs);
    connect(m_tsList, &QTreeWidget::itemClicked, this, &CMuxNitEditView::OnTsListClick);
    connect(m_ndCheck, &QCheckBox::clicked, this, &CMuxNitEditView::OnNetworkDescriptorCheck);
    connect(m_ndAdd, &QPushButton::clicked, this, &CMuxNitEditView::OnAddNetworkDescriptor);
    connect(m_ndEdit, &QPushButton::clicked, this, &CMuxNitEditView::OnEditNetworkDescriptor);
    connect(m_ndDelete, &QPushButton::clicked, this, &CMuxNitEditView::OnDeleteNetworkDescriptor);
    connect(m_ndClear, &QPushButton::clicked, this, &CMuxNitEditView::OnClearNetworkDescriptors);
    connect(m_channel, &QComboBox::activated, this, &CMuxNitEditView::OnSelChangeChannel);

    // Edit and Delete act on the row last clicked.
    m_tsEdit->setEnabled(false);
    m_tsDelete->setEnabled(false);
    UpdateNdEnabled();
}

CMuxNitEditView::~CMuxNitEditView() = default;

void CMuxNitEditView::OnInitialUpdate() {
    if (m_logic->Model() != m_pageParam || !m_logic->IsIdle()) {
        // Keep what the operator typed when the page is bound again with the same model.
        NitTable kept = m_logic->Table();
        m_logic = std::make_unique<MuxNitLogic>(m_pageParam);
        m_logic->Table() = kept;
    }
    ApplyModel();
    ShowTable();
}

void CMuxNitEditView::ApplyModel() {
    const bool two = m_logic->IsTwoSided();
    m_get->setText(two ? "Get A Channel" : "Get");
    m_set->setText(two ? "Send to A" : "Set");
    m_getB->setVisible(two);
    m_sendB->setVisible(two);
    // Ten buttons are wider than the page area: with two channels the exchange buttons take a row of
    // their own under the others.
    QHBoxLayout* exchange = two ? m_exchangeRow : m_buttonRow;
    for (QPushButton* b : {m_get, m_getB, m_set, m_sendB}) {
        m_buttonRow->removeWidget(b);
        m_exchangeRow->removeWidget(b);
        exchange->addWidget(b);
    }
    m_channel->clear();
    for (const std::string& item : m_logic->SelectorItems())
        m_channel->addItem(QString::fromStdString(item));
    m_channel->setCurrentIndex(0);
    m_channel->setVisible(m_logic->SelectorShown());
    m_channelLabel->setVisible(m_logic->SelectorShown());
}

void CMuxNitEditView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

int CMuxNitEditView::SelectorIndex() const {
    return m_channel->currentIndex();
}

bool CMuxNitEditView::DoDataExchange(bool collect) {
    NitTable& t = m_logic->Table();
    if (!collect) {
        m_name->setText(Text(t.networkName));
        m_id->setText(QString::fromStdString(t.networkId));
        m_version->setText(QString::number(t.version));
        m_ndCheck->setChecked(t.networkDescriptorsOn);
        UpdateNdEnabled();
        return true;
    }
    std::string name;
    Utf8ToGbk(m_name->text().toStdString(), &name);
    if (name.size() > static_cast<size_t>(kNitMaxNameLength)) {
        ShowMessageBox("Please enter no more than 128 characters.");
        m_name->setFocus();
        return false;
    }
    const std::string version = m_version->text().trimmed().toStdString();
    if (version.empty() || version.size() > 2 || !IsDecimalText(version) || std::stoi(version) > 31) {
        ShowMessageBox("Please enter an integer between 0 and 31.");
        m_version->setFocus();
        return false;
    }
    t.networkName = name;
    t.networkId = m_id->text().toStdString();
    t.version = std::stoi(version);
    t.networkDescriptorsOn = m_ndCheck->isChecked();
    return true;
}

void CMuxNitEditView::ShowTable() {
    const NitTable& t = m_logic->Table();
    UpdateData(false);
    m_ndList->clear();
    for (const NetworkDescriptorRow& row : t.networkDescriptors) {
        auto* item = new QTreeWidgetItem(m_ndList);
        item->setText(0, QString::asprintf("%X", row.tag));
        item->setText(1, QString::fromStdString(row.text));
    }
    m_tsList->clear();
    for (const NitTsRow& row : t.rows) {
        auto* item = new QTreeWidgetItem(m_tsList);
        for (int c = 0; c < kNitTsColumns; ++c)
            item->setText(c, QString::fromStdString(row.columns[static_cast<size_t>(c)]));
        item->setData(0, Qt::UserRole, kUnmarked);
    }
    m_tsEdit->setEnabled(false);
    m_tsDelete->setEnabled(false);
    PaintMarkedRow();
}

void CMuxNitEditView::PaintMarkedRow() {
    for (int i = 0; i < m_tsList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_tsList->topLevelItem(i);
        const bool marked = item->data(0, Qt::UserRole).toInt() == kMarked;
        for (int c = 0; c < kNitTsColumns; ++c)
            item->setForeground(c, marked ? QColor(255, 0, 0) : QColor(0, 0, 0));
    }
}

void CMuxNitEditView::OnRefresh(unsigned what, bool refreshed) {
    if (what & MuxNitLogic::kRefreshNoChannelForm) {
        m_channel->hide();
        m_channelLabel->hide();
    }
    const int channel = m_logic->ReplyChannel();
    if ((what & MuxNitLogic::kRefreshChannel) && channel >= 0 && channel < m_channel->count())
        m_channel->setCurrentIndex(channel);
    if (what & MuxNitLogic::kRefreshTable)
        ShowTable();
    CFormTemplateView::OnRefresh(what, refreshed);
}

void CMuxNitEditView::OnStepRefused(const PageStep&) {
    NothingLate(*m_logic);
}

void CMuxNitEditView::OnGet() {
    UpdateData(false);
    g_markedRow = -1;
    Carry(m_logic->Get(SelectorIndex(), DeviceOnline()));
}

void CMuxNitEditView::OnGetB() {
    Carry(m_logic->GetB(DeviceOnline()));
}

void CMuxNitEditView::SendNit(int side) {
    if (!UpdateData(true))
        return;
    Carry(m_logic->Send(side, SelectorIndex(), DeviceOnline()));
}

void CMuxNitEditView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    CFormTemplateView::OnDeviceReply(device, reply);
    if (!device || device != m_device)
        return;
    const uint16_t type = device->typeCode;
    Carry(
        ReplyStep(*m_logic, reply, IsBusy(), [&] { return m_logic->OnReply(type, reply, SelectorIndex()); }));
}

void CMuxNitEditView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CMuxNitEditView::OnReadLocal() {
    FileRequest request;
    request.filter = "*.nit|*.nit||";
    request.defaultExt = "nit";
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    NitTable& t = m_logic->Table();
    t.rows.clear();
    t.networkDescriptors.clear();
    m_tsList->clear();
    m_ndList->clear();
    switch (ReadNitFile(path, &t.image, &t.imageLength)) {
        case NitFileRead::kCannotOpen:
            return;
        case NitFileRead::kTooLong:
            ShowMessageBox("The file is longer than 5120 bytes: it is not a NIT file.");
            return;
        case NitFileRead::kOk:
            break;
    }
    t.ParseNitSections();
    ShowTable();
}

void CMuxNitEditView::OnSaveLocal() {
    if (!UpdateData(true))
        return;
    NitTable& t = m_logic->Table();
    if (!t.Build()) {
        if (!t.networkId.empty())
            ShowMessageBox("The NIT does not fit into five sections.");
        return;
    }
    FileRequest request;
    request.save = true;
    request.filter = "*.nit|*.nit||";
    request.defaultExt = "nit";
    request.fileName = "nit";
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    if (!WriteNitFile(path, t.image))
        ShowMessageBox("Save file failed!");
}

void CMuxNitEditView::OnTsListClick() {
    const int row = SelectedRow(m_tsList);
    if (row < 0) {
        m_tsEdit->setEnabled(false);
        m_tsDelete->setEnabled(false);
        return;
    }
    m_tsEdit->setEnabled(true);
    m_tsDelete->setEnabled(true);
    if (g_markedRow >= 0 && g_markedRow < m_tsList->topLevelItemCount())
        m_tsList->topLevelItem(g_markedRow)->setData(0, Qt::UserRole, kUnmarked);
    m_tsList->topLevelItem(row)->setData(0, Qt::UserRole, kMarked);
    g_markedRow = row;
    PaintMarkedRow();
}

void CMuxNitEditView::OnAddTs() {
    UpdateData(true);
    NitTable& t = m_logic->Table();
    if (static_cast<int>(t.rows.size()) >= kNitMaxTsRows) {
        ShowMessageBox("The list holds at most 100 transport streams.");
        return;
    }
    CNitDescriptorDlg dlg(this);
    dlg.m_form = NewRowPreset(t.rows);
    dlg.m_editMode = 0;
    if (dlg.DoModal() != 1)
        return;
    NitTsRow row;
    FillRowColumns(dlg.m_form, row);
    row.entry = dlg.m_entry;
    t.AddRow(std::move(row));
    ShowTable();
}

void CMuxNitEditView::OnEditTs() {
    const int selected = SelectedRow(m_tsList);
    NitTable& t = m_logic->Table();
    if (selected < 0 || selected >= static_cast<int>(t.rows.size()))
        return;
    UpdateData(true);
    CNitDescriptorDlg dlg(this);
    // A transport stream read without a delivery descriptor has nothing this dialog could show.
    if (!FormFromRow(t.rows[static_cast<size_t>(selected)], &dlg.m_form))
        return;
    dlg.m_editMode = 1;
    dlg.m_entry = t.rows[static_cast<size_t>(selected)].entry;
    if (dlg.DoModal() != 1)
        return;
    NitTsRow& row = t.rows[static_cast<size_t>(selected)];
    FillRowColumns(dlg.m_form, row);
    row.entry = dlg.m_entry;
    ShowTable();
    if (g_markedRow >= 0 && g_markedRow < m_tsList->topLevelItemCount()) {
        m_tsList->topLevelItem(g_markedRow)->setData(0, Qt::UserRole, kMarked);
        PaintMarkedRow();
    }
}

void CMuxNitEditView::OnDeleteTs() {
    const int row = SelectedRow(m_tsList);
    NitTable& t = m_logic->Table();
    if (row < 0 || row >= static_cast<int>(t.rows.size()))
        return;
    UpdateData(true);
    // Entries of the rows after it move up with their rows.
    t.rows.erase(t.rows.begin() + row);
    if (g_markedRow == row)
        g_markedRow = -1;
    else if (g_markedRow > row)
        --g_markedRow;
    ShowTable();
    if (g_markedRow >= 0 && g_markedRow < m_tsList->topLevelItemCount()) {
        m_tsList->topLevelItem(g_markedRow)->setData(0, Qt::UserRole, kMarked);
        PaintMarkedRow();
    }
}

void CMuxNitEditView::OnClearTs() {
    NitTable& t = m_logic->Table();
    if (t.rows.empty()) {
        ShowMessageBox("List is empty!");
        return;
    }
    if (ShowMessageBox(QString::asprintf("%s?", "Clear List").toStdString(), "", MB_OKCANCEL) != IDOK)
        return;
    UpdateData(true);
    t.rows.clear();
    g_markedRow = -1;
    ShowTable();
}

void CMuxNitEditView::UpdateNdEnabled() {
    const bool on = m_ndCheck->isChecked();
    m_ndList->setEnabled(on);
    for (QPushButton* b : {m_ndAdd, m_ndDelete, m_ndEdit, m_ndClear})
        b->setEnabled(on);
}

void CMuxNitEditView::OnNetworkDescriptorCheck() {
    m_logic->Table().networkDescriptorsOn = m_ndCheck->isChecked();
    UpdateNdEnabled();
}

void CMuxNitEditView::CollectNetworkDescriptors() {
    NitTable& t = m_logic->Table();
    t.networkDescriptors.clear();
    for (int i = 0; i < m_ndList->topLevelItemCount() && i < kNitMaxNetworkDescriptors; ++i) {
        QTreeWidgetItem* item = m_ndList->topLevelItem(i);
        NetworkDescriptorRow row;
        row.tag = HexTextToByte(item->text(0).toStdString());
        row.text = item->text(1).toStdString().substr(0, kNitMaxNetworkDescriptorHex);
        t.networkDescriptors.push_back(row);
    }
}

void CMuxNitEditView::OnAddNetworkDescriptor() {
    UpdateData(true);
    if (m_ndList->topLevelItemCount() >= kNitMaxNetworkDescriptors) {
        ShowMessageBox("The list holds at most 8 network descriptors.");
        return;
    }
    // A row keeps at most 127 data bytes: longer data is refused by the dialog, not cut here.
    CNetworkDescriptorDlg dlg(this, kNitMaxNetworkDescriptorHex);
    if (dlg.DoModal() != 1)
        return;
    auto* item = new QTreeWidgetItem(m_ndList);
    item->setText(0, QString::asprintf("%X", dlg.m_tag));
    item->setText(1, QString::fromStdString(dlg.m_data));
    CollectNetworkDescriptors();
}

void CMuxNitEditView::OnEditNetworkDescriptor() {
    UpdateData(true);
    const int row = SelectedRow(m_ndList);
    if (row < 0) {
        ShowMessageBox("Please Select List");
        return;
    }
    QTreeWidgetItem* item = m_ndList->topLevelItem(row);
    CNetworkDescriptorDlg dlg(this, kNitMaxNetworkDescriptorHex);
    dlg.m_tagText = item->text(0).toStdString();
    dlg.m_dataText = item->text(1).toStdString();
    if (dlg.DoModal() != 1)
        return;
    item->setText(0, QString::asprintf("%X", dlg.m_tag));
    item->setText(1, QString::fromStdString(dlg.m_data));
    CollectNetworkDescriptors();
}

void CMuxNitEditView::OnDeleteNetworkDescriptor() {
    UpdateData(true);
    const int row = SelectedRow(m_ndList);
    if (row < 0) {
        ShowMessageBox("Please Select List");
        return;
    }
    delete m_ndList->takeTopLevelItem(row);
    CollectNetworkDescriptors();
}

void CMuxNitEditView::OnClearNetworkDescriptors() {
    UpdateData(true);
    if (ShowMessageBox("Clear", "", MB_OKCANCEL) != IDOK)
        return;
    m_ndList->clear();
    CollectNetworkDescriptors();
}

}  // namespace nms
