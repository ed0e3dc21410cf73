#include "pages/psi/nit_descriptor_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pages/psi/lcn_dlg.h"
#include "pages/psi/lcn_list_file.h"
#include "pages/psi/network_descriptor_dlg.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

// The channel-list values last entered, offered again for the next NORDIG LCN for the whole run.
int g_channelListId = 0;
std::string g_channelListName;
uint32_t g_countryCode = 0;

QTreeWidget* MakeList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    return list;
}

void SetColumns(QTreeWidget* list, const std::vector<std::pair<const char*, int>>& columns) {
    QStringList labels;
    for (const auto& c : columns)
        labels << c.first;
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(labels);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        list->setColumnWidth(i, columns[static_cast<size_t>(i)].second);
}

void Fill(QComboBox* combo, const std::vector<std::string>& labels) {
    combo->clear();
    for (const std::string& label : labels)
        combo->addItem(QString::fromStdString(label));
}

void Select(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int Selected(QTreeWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

}  // namespace

CNitDescriptorDlg::CNitDescriptorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Insert Description");
    m_tsIdEdit = new QLineEdit(this);
    m_tsIdEdit->setMaxLength(4);
    m_onidEdit = new QLineEdit(this);
    m_onidEdit->setMaxLength(4);
    m_frequencyEdit = new QLineEdit(this);
    m_symbolRateEdit = new QLineEdit(this);
    m_frequencyUnit = new QLabel(this);
    m_symbolLabel = new QLabel("Symbol:", this);
    m_symbolUnit = new QLabel("MS/s", this);
    m_cable = new QRadioButton("Cable", this);
    m_satellite = new QRadioButton("Satellite", this);
    m_terrestrial = new QRadioButton("Terrestrial", this);
    m_modulation = new QComboBox(this);
    m_polarizationLabel = new QLabel("Polarization:", this);
    m_polarization = new QComboBox(this);
    m_transmissionMode = new QComboBox(this);
    m_bandwidth = new QComboBox(this);
    m_guardLabel = new QLabel("Guard Interval:", this);
    m_guardInterval = new QComboBox(this);
    m_lcnCheck = new QCheckBox("LCN", this);
    m_privateCheck = new QCheckBox("Private Descriptor", this);
    m_nordig87 = new QCheckBox("NORDIG(0x87)", this);
    m_nordigV21 = new QCheckBox("NORDIG Ver2.1", this);
    m_lcnList = MakeList(this);
    m_privateList = MakeList(this);
    SetColumns(m_privateList, {{"Tag(0X)", 80}, {"Data(0X)", 300}});
    UpdateLcnColumns();
    const char* lcnCaptions[5] = {"Add", "DEL", "Edit", "Clear", "Load"};
    for (int i = 0; i < 5; ++i)
        m_lcnButtons[i] = new QPushButton(lcnCaptions[i], this);
    const char* privateCaptions[4] = {"Add", "DEL", "Edit", "Clear"};
    for (int i = 0; i < 4; ++i)
        m_privateButtons[i] = new QPushButton(privateCaptions[i], this);

    auto* ids = new QHBoxLayout;
    ids->addWidget(new QLabel("TS ID:0X", this));
    ids->addWidget(m_tsIdEdit);
    ids->addWidget(new QLabel("NET. ID:0X", this));
    ids->addWidget(m_onidEdit);

    auto* deliveryBox = new QGroupBox("Delivery System Descriptor", this);
    auto* delivery = new QGridLayout(deliveryBox);
    auto* radios = new QHBoxLayout;
    for (QRadioButton* r : {m_cable, m_satellite, m_terrestrial})
        radios->addWidget(r);
    delivery->addLayout(radios, 0, 0, 1, 3);
    delivery->addWidget(new QLabel("RF Out Frequency", deliveryBox), 1, 0);
    delivery->addWidget(m_frequencyEdit, 1, 1);
    delivery->addWidget(m_frequencyUnit, 1, 2);
    delivery->addWidget(m_symbolLabel, 2, 0);
    delivery->addWidget(m_symbolRateEdit, 2, 1);
    delivery->addWidget(m_symbolUnit, 2, 2);
    delivery->addWidget(new QLabel("Modulation Mode", deliveryBox), 3, 0);
    delivery->addWidget(m_modulation, 3, 1);
    delivery->addWidget(m_polarizationLabel, 4, 0);
    delivery->addWidget(m_polarization, 4, 1);
    delivery->addWidget(new QLabel("Transmission Mode:", deliveryBox), 5, 0);
    delivery->addWidget(m_transmissionMode, 5, 1);
    delivery->addWidget(new QLabel("Bandwidth:", deliveryBox), 6, 0);
    delivery->addWidget(m_bandwidth, 6, 1);
    delivery->addWidget(m_guardLabel, 7, 0);
    delivery->addWidget(m_guardInterval, 7, 1);

    auto* infoBox = new QGroupBox("Description Info", this);
    auto* info = new QVBoxLayout(infoBox);
    auto* lcnChecks = new QHBoxLayout;
    for (QCheckBox* c : {m_lcnCheck, m_nordig87, m_nordigV21})
        lcnChecks->addWidget(c);
    lcnChecks->addStretch();
    info->addLayout(lcnChecks);
    auto* lcnRow = new QHBoxLayout;
    lcnRow->addWidget(m_lcnList, 1);
    auto* lcnButtons = new QVBoxLayout;
    for (QPushButton* b : m_lcnButtons)
        lcnButtons->addWidget(b);
    lcnButtons->addStretch();
    lcnRow->addLayout(lcnButtons);
    info->addLayout(lcnRow);
    info->addWidget(m_privateCheck);
    auto* privateRow = new QHBoxLayout;
    privateRow->addWidget(m_privateList, 1);
    auto* privateButtons = new QVBoxLayout;
    for (QPushButton* b : m_privateButtons)
        privateButtons->addWidget(b);
    privateButtons->addStretch();
    privateRow->addLayout(privateButtons);
    info->addLayout(privateRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);

    auto* left = new QVBoxLayout;
    left->addLayout(ids);
    left->addWidget(deliveryBox);
    left->addStretch();
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(infoBox, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(body);
    page->addWidget(buttons);
    resize(900, 460);

    connect(buttons, &QDialogButtonBox::accepted, this, &CNitDescriptorDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_cable, &QRadioButton::clicked, this, &CNitDescriptorDlg::OnCable);
    connect(m_satellite, &QRadioButton::clicked, this, &CNitDescriptorDlg::OnSatellite);
    connect(m_terrestrial, &QRadioButton::clicked, this, &CNitDescriptorDlg::OnTerrestrial);
    connect(m_lcnCheck, &QCheckBox::clicked, this, &CNitDescriptorDlg::OnLcnCheck);
    connect(m_privateCheck, &QCheckBox::clicked, this, &CNitDescriptorDlg::OnPrivateCheck);
    connect(m_nordig87, &QCheckBox::clicked, this, &CNitDescriptorDlg::OnNordig87Check);
    connect(m_nordigV21, &QCheckBox::clicked, this, &CNitDescriptorDlg::OnNordigV21Check);
    connect(m_lcnButtons[0], &QPushButton::clicked, this, &CNitDescriptorDlg::OnAddLcn);
    connect(m_lcnButtons[1], &QPushButton::clicked, this, &CNitDescriptorDlg::OnDeleteLcn);
    connect(m_lcnButtons[2], &QPushButton::clicked, this, &CNitDescriptorDlg::OnEditLcn);
    connect(m_lcnButtons[3], &QPushButton::clicked, this, &CNitDescriptorDlg::OnClearLcn);
    connect(m_lcnButtons[4], &QPushButton::clicked, this, &CNitDescriptorDlg::OnLoadLcn);
    connect(m_privateButtons[0], &QPushButton::clicked, this, &CNitDescriptorDlg::OnAddPrivate);
    connect(m_privateButtons[1], &QPushButton::clicked, this, &CNitDescriptorDlg::OnDeletePrivate);
    connect(m_privateButtons[2], &QPushButton::clicked, this, &CNitDescriptorDlg::OnEditPrivate);
    connect(m_privateButtons[3], &QPushButton::clicked, this, &CNitDescriptorDlg::OnClearPrivate);
}

int CNitDescriptorDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CNitDescriptorDlg::OnInitDialog() {
    m_lcnFormat = 0;
    Fill(m_transmissionMode, DeliveryValueLabels::kTransmissionMode);
    Fill(m_bandwidth, DeliveryValueLabels::kBandwidth);
    m_modulation->clear();
    m_tsIdEdit->setText(QString::fromStdString(m_form.tsId));
    m_onidEdit->setText(QString::fromStdString(m_form.onid));
    m_frequencyEdit->setText(QString::fromStdString(m_form.frequency));
    m_symbolRateEdit->setText(QString::fromStdString(m_form.symbolRate));
    m_openedDelivery =
        m_form.delivery == kNitSatellite || m_form.delivery == kNitTerrestrial ? m_form.delivery : kNitCable;
    (m_openedDelivery == kNitSatellite     ? m_satellite
     : m_openedDelivery == kNitTerrestrial ? m_terrestrial
                                           : m_cable)
        ->setChecked(true);
    SetUpDelivery(m_openedDelivery);

    // The lists come from the entry's descriptors.
    const NitTsEntryLists lists = ReadNitTsEntry(m_entry);
    m_form.lcnOn = lists.lcnOn;
    m_form.nordig87 = lists.nordig87;
    m_form.nordigV21 = lists.nordigV21;
    m_form.lcnRows = lists.lcnRows;
    m_form.privateOn = lists.privateOn;
    m_form.privateRows = lists.privateRows;
    m_lcnCheck->setChecked(lists.lcnOn);
    m_nordig87->setChecked(lists.nordig87);
    m_nordigV21->setChecked(lists.nordigV21);
    m_privateCheck->setChecked(lists.privateOn);
    UpdateLcnColumns();
    ShowLcnRows();
    ShowPrivateRows();
    UpdateEnabled();
}

void CNitDescriptorDlg::SetUpDelivery(int delivery) {
    // Editing a row keeps its values while its own delivery system is chosen; otherwise the defaults.
    const bool keep = m_editMode && delivery == m_openedDelivery;
    const bool terrestrial = delivery == kNitTerrestrial;
    m_symbolLabel->setVisible(!terrestrial);
    m_symbolRateEdit->setVisible(!terrestrial);
    m_symbolUnit->setVisible(!terrestrial);
    m_guardLabel->setVisible(terrestrial);
    m_guardInterval->setVisible(terrestrial);
    switch (delivery) {
        case kNitCable:
            Fill(m_modulation, DeliveryValueLabels::kCableModulation);
            Select(m_modulation, keep ? m_form.modulation : 3);
            if (!keep)
                m_symbolRateEdit->setText("6.875");
            m_polarization->setEnabled(false);
            m_transmissionMode->setEnabled(false);
            m_bandwidth->setEnabled(false);
            m_frequencyUnit->setText(m_editMode ? "MHz" : "MHZ");
            break;
        case kNitSatellite:
            m_polarizationLabel->setText("Polarization:");
            Fill(m_polarization, DeliveryValueLabels::kPolarization);
            Fill(m_modulation, DeliveryValueLabels::kSatelliteModulation);
            Select(m_modulation, keep ? m_form.modulation : 1);
            Select(m_polarization, keep ? m_form.polarization : 0);
            if (!keep)
                m_symbolRateEdit->setText("27.500");
            m_polarization->setEnabled(true);
            m_transmissionMode->setEnabled(false);
            m_bandwidth->setEnabled(false);
            m_frequencyUnit->setText(m_editMode ? "GHz" : "GHZ");
            break;
        default:
            m_polarizationLabel->setText("FEC Rate:");
            Fill(m_polarization, DeliveryValueLabels::kFecRate);
            Fill(m_guardInterval, DeliveryValueLabels::kGuardInterval);
            Fill(m_modulation, DeliveryValueLabels::kTerrestrialConstellation);
            Select(m_modulation, keep ? m_form.modulation : 2);
            Select(m_bandwidth, keep ? m_form.bandwidth : 0);
            Select(m_transmissionMode, keep ? m_form.transmissionMode : 0);
            Select(m_guardInterval, keep ? m_form.guardInterval : 0);
            Select(m_polarization, keep ? m_form.fec : 0);
            m_polarization->setEnabled(true);
            m_transmissionMode->setEnabled(true);
            m_bandwidth->setEnabled(true);
            m_frequencyUnit->setText(m_editMode ? "Hz" : "HZ");
            break;
    }
}

void CNitDescriptorDlg::CollectForm(NitTsForm* f) const {
    f->tsId = m_tsIdEdit->text().toStdString();
    f->onid = m_onidEdit->text().toStdString();
    f->frequency = m_frequencyEdit->text().toStdString();
    f->symbolRate = m_symbolRateEdit->text().toStdString();
    f->delivery = m_cable->isChecked()         ? kNitCable
                  : m_satellite->isChecked()   ? kNitSatellite
                  : m_terrestrial->isChecked() ? kNitTerrestrial
                                               : kNitNoDelivery;
    f->modulation = m_modulation->currentIndex();
    f->polarization = f->bandwidth = f->transmissionMode = f->guardInterval = f->fec = -1;
    if (f->delivery == kNitSatellite)
        f->polarization = m_polarization->currentIndex();
    if (f->delivery == kNitTerrestrial) {
        f->bandwidth = m_bandwidth->currentIndex();
        f->transmissionMode = m_transmissionMode->currentIndex();
        f->guardInterval = m_guardInterval->currentIndex();
        f->fec = m_polarization->currentIndex();
    }
    f->lcnOn = m_lcnCheck->isChecked();
    f->nordig87 = m_nordig87->isChecked();
    f->nordigV21 = m_nordigV21->isChecked();
    f->privateOn = m_privateCheck->isChecked();
}

void CNitDescriptorDlg::OnOK() {
    NitTsForm form = m_form;
    CollectForm(&form);
    std::string message = CheckNitTsForm(form);
    NitTsEntry entry = m_entry;
    if (message.empty())
        message = BuildNitTsEntry(form, entry);
    if (!message.empty()) {
        ShowMessageBox(message);
        return;
    }
    m_form = form;
    m_entry = entry;
    m_tsIdEdit->setText(QString::fromStdString(form.tsId));
    m_onidEdit->setText(QString::fromStdString(form.onid));
    m_frequencyEdit->setText(QString::fromStdString(form.frequency));
    m_symbolRateEdit->setText(QString::fromStdString(form.symbolRate));
    accept();
}

// ---- LCN list ----

void CNitDescriptorDlg::UpdateLcnColumns() {
    std::vector<std::pair<const char*, int>> columns = {
        {"ServiceID(0X)", 100}, {"DEC", 45}, {"LCN(0X)", 70}, {"DEC", 45}};
    if (m_nordig87->isChecked()) {
        columns.push_back({"channel_list_id", 100});
        columns.push_back({"channel_list_name", 100});
        columns.push_back({"country_code", 80});
    }
    SetColumns(m_lcnList, columns);
}

void CNitDescriptorDlg::ShowLcnRows() {
    m_lcnList->clear();
    const bool nordig = m_nordig87->isChecked();
    for (const LcnRow& row : m_form.lcnRows) {
        auto* item = new QTreeWidgetItem(m_lcnList);
        item->setText(0, QString::asprintf("%X", row.serviceId));
        item->setText(1, QString::asprintf("%d", row.serviceId));
        item->setText(2, QString::asprintf("%X", row.lcn));
        item->setText(3, QString::asprintf("%d", row.lcn));
        if (nordig) {
            item->setText(4, QString::asprintf("%d", row.channelListId));
            item->setText(5, QString::fromStdString(GbkToUtf8(row.channelListName)));
            item->setText(6, QString::asprintf("%d", static_cast<int>(row.countryCode)));
        }
    }
}

void CNitDescriptorDlg::ShowPrivateRows() {
    m_privateList->clear();
    for (const NetworkDescriptorRow& row : m_form.privateRows) {
        auto* item = new QTreeWidgetItem(m_privateList);
        item->setText(0, QString::asprintf("%X", row.tag));
        item->setText(1, QString::fromStdString(row.text));
    }
}

void CNitDescriptorDlg::UpdateEnabled() {
    const bool lcn = m_lcnCheck->isChecked();
    m_lcnList->setEnabled(lcn);
    for (QPushButton* b : m_lcnButtons)
        b->setEnabled(lcn);
    const bool priv = m_privateCheck->isChecked();
    m_privateList->setEnabled(priv);
    for (QPushButton* b : m_privateButtons)
        b->setEnabled(priv);
}

void CNitDescriptorDlg::OnLcnCheck() {
    UpdateEnabled();
}

void CNitDescriptorDlg::OnPrivateCheck() {
    UpdateEnabled();
}

void CNitDescriptorDlg::OnNordig87Check() {
    if (m_nordig87->isChecked())
        m_nordigV21->setChecked(false);
    UpdateLcnColumns();
    ShowLcnRows();
}

void CNitDescriptorDlg::OnNordigV21Check() {
    if (m_nordigV21->isChecked() && m_nordig87->isChecked()) {
        m_nordig87->setChecked(false);
        UpdateLcnColumns();
        ShowLcnRows();
    }
}

int CNitDescriptorDlg::SelectedLcn() const {
    return Selected(m_lcnList);
}

int CNitDescriptorDlg::SelectedPrivate() const {
    return Selected(m_privateList);
}

void CNitDescriptorDlg::OnAddLcn() {
    CLcnDlg dlg(this);
    dlg.m_decimalFormat = m_lcnFormat;
    dlg.m_nordig = m_nordig87->isChecked() ? 1 : 0;
    dlg.m_channelListId = g_channelListId;
    dlg.m_channelListName = g_channelListName;
    dlg.m_countryCode = g_countryCode;
    if (dlg.DoModal() != 1)
        return;
    m_lcnFormat = dlg.m_decimalFormat;
    LcnRow row;
    row.serviceId = dlg.m_serviceId;
    row.lcn = dlg.m_lcnValue;
    if (dlg.m_nordig) {
        g_channelListId = dlg.m_channelListId;
        g_channelListName = dlg.m_channelListName;
        g_countryCode = dlg.m_countryCode;
        row.channelListId = dlg.m_channelListId;
        row.channelListName = dlg.m_channelListName;
        row.countryCode = dlg.m_countryCode;
    }
    m_form.lcnRows.push_back(row);
    ShowLcnRows();
}

void CNitDescriptorDlg::OnEditLcn() {
    const int selected = SelectedLcn();
    if (selected < 0 || selected >= static_cast<int>(m_form.lcnRows.size())) {
        ShowMessageBox("Please Select List");
        return;
    }
    LcnRow& row = m_form.lcnRows[static_cast<size_t>(selected)];
    CLcnDlg dlg(this);
    dlg.m_decimalFormat = m_lcnFormat;
    const char* format = m_lcnFormat == 1 ? "%d" : "%X";
    dlg.m_serviceIdText = QString::asprintf(format, row.serviceId).toStdString();
    dlg.m_lcnText = QString::asprintf(format, row.lcn).toStdString();
    dlg.m_nordig = m_nordig87->isChecked() ? 1 : 0;
    dlg.m_channelListId = row.channelListId;
    dlg.m_channelListName = row.channelListName;
    dlg.m_countryCode = row.countryCode;
    if (dlg.DoModal() != 1)
        return;
    m_lcnFormat = dlg.m_decimalFormat;
    row.serviceId = dlg.m_serviceId;
    row.lcn = dlg.m_lcnValue;
    if (dlg.m_nordig) {
        row.channelListId = dlg.m_channelListId;
        row.channelListName = dlg.m_channelListName;
        row.countryCode = dlg.m_countryCode;
    }
    ShowLcnRows();
}

void CNitDescriptorDlg::OnDeleteLcn() {
    const int selected = SelectedLcn();
    if (selected < 0 || selected >= static_cast<int>(m_form.lcnRows.size())) {
        ShowMessageBox("Please Select List");
        return;
    }
    m_form.lcnRows.erase(m_form.lcnRows.begin() + selected);
    ShowLcnRows();
}

void CNitDescriptorDlg::OnClearLcn() {
    if (ShowMessageBox("Clear all LCN?", "", MB_OKCANCEL) != IDOK)
        return;
    m_form.lcnRows.clear();
    ShowLcnRows();
}

void CNitDescriptorDlg::OnLoadLcn() {
    FileRequest request;
    request.filter = "*.txt|*.txt||";
    request.defaultExt = "lcn";
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    m_form.lcnRows.clear();
    ShowLcnRows();
    const LcnFileResult file = ReadLcnListFile(path);
    switch (file.status) {
        case LcnFileRead::kCannotOpen:
            return;
        case LcnFileRead::kNoFirstLine:
            ShowMessageBox("Error config.:" + path + "," + file.firstLine + ";");
            return;
        case LcnFileRead::kBadFirstLine:
            ShowMessageBox("Error benter!");
            return;
        case LcnFileRead::kOk:
            break;
    }
    m_form.lcnRows = file.rows;
    ShowLcnRows();
}

// ---- Private descriptors ----

void CNitDescriptorDlg::OnAddPrivate() {
    CNetworkDescriptorDlg dlg(this);
    if (dlg.DoModal() != 1)
        return;
    m_form.privateRows.push_back({dlg.m_tag, dlg.m_data});
    ShowPrivateRows();
}

void CNitDescriptorDlg::OnEditPrivate() {
    const int selected = SelectedPrivate();
    if (selected < 0 || selected >= static_cast<int>(m_form.privateRows.size())) {
        ShowMessageBox("Please Select List");
        return;
    }
    NetworkDescriptorRow& row = m_form.privateRows[static_cast<size_t>(selected)];
    CNetworkDescriptorDlg dlg(this);
    dlg.m_tagText = QString::asprintf("%X", row.tag).toStdString();
    dlg.m_dataText = row.text;
    if (dlg.DoModal() != 1)
        return;
    row = {dlg.m_tag, dlg.m_data};
    ShowPrivateRows();
}

void CNitDescriptorDlg::OnDeletePrivate() {
    const int selected = SelectedPrivate();
    if (selected < 0 || selected >= static_cast<int>(m_form.privateRows.size())) {
        ShowMessageBox("Please Select List");
        return;
    }
    m_form.privateRows.erase(m_form.privateRows.begin() + selected);
    ShowPrivateRows();
}

void CNitDescriptorDlg::OnClearPrivate() {
    if (ShowMessageBox("Clear all Private Descriptor?", "", MB_OKCANCEL) != IDOK)
        return;
    m_form.privateRows.clear();
    ShowPrivateRows();
}

}  // namespace nms
