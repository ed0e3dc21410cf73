#include "pages/ird/cam4_decrypt_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

const std::vector<std::string> kInputKeys = {"freq",     "lnb",       "symbol", "polarization", "qam",
                                             "standard", "bandwidth", "tone",   "diseqc"};

}  // namespace

Ccam4ird_decrypt::Ccam4ird_decrypt(QWidget* parent) : CCam4ChannelView(kInputKeys, parent) {
    m_input->Label("standard")->setText("Modulation Mode");
    m_runDialog = [](CIpIndexDlg& dialog) { return dialog.exec() == QDialog::Accepted; };
    MakeTabs();

    QGroupBox* inputGroup = MakeInputGroup();
    m_eit = new QCheckBox("EIT", inputGroup);
    m_tdt = new QCheckBox("TDT", inputGroup);
    MakeGetSetButtons();
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(m_eit);
    inputButtons->addWidget(m_tdt);
    inputButtons->addStretch();
    inputButtons->addWidget(m_get);
    inputButtons->addWidget(m_set);
    AddInputButtons(inputGroup, inputButtons);
    // The pass-through boxes are the table's own check fields, laid out here.
    for (const char* key : {"eit", "tdt"})
        m_input->Control(key)->hide();

    MakeProgramList();
    m_camSet = new QComboBox(this);
    m_camSet->addItems({"Bypass", "CAM", "Delete"});
    m_index = new QCheckBox("Index", this);
    m_index->hide();
    m_parse = new QPushButton("Parse", this);
    m_read = new QPushButton("Read", this);
    m_send = new QPushButton("Send", this);
    auto* programButtons = new QHBoxLayout;
    programButtons->addWidget(new QLabel("CAM SET:", this));
    programButtons->addWidget(m_camSet);
    programButtons->addWidget(m_index);
    programButtons->addStretch();
    programButtons->addWidget(m_parse);
    programButtons->addWidget(m_read);
    programButtons->addWidget(m_send);

    auto* right = new QVBoxLayout;
    right->addWidget(m_programs, 1);
    right->addLayout(programButtons);
    auto* left = new QVBoxLayout;
    left->addWidget(inputGroup);
    left->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(left);
    row->addLayout(right, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addLayout(row, 1);

    connect(m_parse, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnParse);
    connect(m_read, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnRead);
    connect(m_send, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnSend);
    connect(m_camSet, &QComboBox::activated, this, &Ccam4ird_decrypt::OnSelChangeCamSet);
    connect(m_programs, &QTreeWidget::itemClicked, this, &Ccam4ird_decrypt::OnClickProgramList);
    connect(m_programs, &QTreeWidget::itemDoubleClicked, this, &Ccam4ird_decrypt::OnDblClickProgramList);
    ShowBlock();
}

Ccam4ird_decrypt::~Ccam4ird_decrypt() = default;

void Ccam4ird_decrypt::OnParse() {
    if (DeviceOnline())
        Carry(m_logic.Parse(m_tabs->currentIndex(), m_index->isChecked()));
}

void Ccam4ird_decrypt::OnRead() {
    if (DeviceOnline())
        Carry(m_logic.Read(m_tabs->currentIndex()));
}

void Ccam4ird_decrypt::OnSend() {
    if (DeviceOnline())
        Carry(m_logic.Send(m_tabs->currentIndex()));
}

void Ccam4ird_decrypt::OnSet() {
    // The boxes on the form stand for the record's pass-through bits.
    if (MaySet() && m_input->IsUsed("eit")) {
        qobject_cast<QCheckBox*>(m_input->Control("eit"))->setChecked(m_eit->isChecked());
        qobject_cast<QCheckBox*>(m_input->Control("tdt"))->setChecked(m_tdt->isChecked());
    }
    CBlockPageView::OnSet();
}

int Ccam4ird_decrypt::SelectedRow() const {
    const auto items = m_programs->selectedItems();
    return items.isEmpty() ? -1 : m_programs->indexOfTopLevelItem(items.front());
}

void Ccam4ird_decrypt::OnClickProgramList() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const uint8_t status = m_logic.Program(m_logic.Channel(), row).Status();
    m_camSet->setCurrentIndex(status == kCam4Cam ? 1 : status == kCam4Delete ? 2 : 0);
}

void Ccam4ird_decrypt::OnSelChangeCamSet() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_logic.SetStatus(row, uint8_t(m_camSet->currentIndex()));
    m_programs->topLevelItem(row)->setText(6, CamProgramStatusText(uint8_t(m_camSet->currentIndex())));
}

void Ccam4ird_decrypt::OnDblClickProgramList() {
    const int row = SelectedRow();
    if (row < 0 || !(m_logic.Feature() & 0x80))
        return;
    const CamProgramEntry& p = m_logic.Program(m_logic.Channel(), row);
    CIpIndexDlg::Inputs in;
    in.feature = m_logic.Feature();
    in.maxIndex = kCam4MaxIpIndex;
    in.streams = p.Elements();
    in.ipIndex = p.IpIndex();
    in.filterMask = p.FilterMask();
    in.pcrPid = p.PcrPid();
    in.stream1Pid = p.StreamPid(0);
    in.stream2Pid = p.StreamPid(1);
    CIpIndexDlg dialog(in, this);
    if (!m_runDialog(dialog))
        return;
    for (const std::string& warning : m_logic.SetIpIndex(row, dialog.IpIndex(), dialog.FilterMask()))
        ShowMessageBox(warning);
    FillProgramList();
}

void Ccam4ird_decrypt::ShowBlock() {
    ShowInputRows(CamFormOfModuleType(m_logic.ModuleType()));
    const uint8_t flags = m_logic.Input().Bytes()[18];
    const bool passThrough = flags & 0x01;
    m_input->SetUsed("eit", passThrough);
    m_input->SetUsed("tdt", passThrough);
    m_input->Control("eit")->hide();
    m_input->Control("tdt")->hide();
    m_eit->setVisible(passThrough);
    m_tdt->setVisible(passThrough);
    m_eit->setChecked(flags & 0x02);
    m_tdt->setChecked(flags & 0x04);
    m_input->Show(m_logic.Input());
}

void Ccam4ird_decrypt::FillProgramList() {
    m_programs->clear();
    const int channel = m_logic.Channel();
    for (int i = 0; i < m_logic.Count(channel); ++i) {
        const CamProgramEntry& p = m_logic.Program(channel, i);
        bool utf8 = false;
        const std::string raw = p.Name(&utf8);
        AddProgramRow(i + 1, QString::fromStdString(utf8 ? raw : GbkToUtf8(raw)), p);
    }
    m_index->setChecked(m_logic.IndexBox());
    m_index->setVisible(m_logic.IpIndexFeature());
}

}  // namespace nms
