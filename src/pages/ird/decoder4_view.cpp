#include "pages/ird/decoder4_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pages/ird/ird_cam_decoder_view.h"

namespace nms {
namespace {

const std::vector<std::string> kInputKeys = {"freq", "lnb",  "symbol", "polarization",
                                             "qam",  "tone", "diseqc"};

}  // namespace

Cdecoder4::Cdecoder4(QWidget* parent) : CCam4ChannelView(kInputKeys, parent) {
    m_decoder = std::make_unique<FormBinder>(Decoder4SettingsTable(), this);
    MakeTabs();

    QGroupBox* inputGroup = MakeInputGroup();
    MakeGetSetButtons();
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(m_get);
    inputButtons->addWidget(m_set);
    inputButtons->addStretch();
    AddInputButtons(inputGroup, inputButtons);

    MakeProgramList();
    m_parse = new QPushButton("Parse", this);
    m_readPrograms = new QPushButton("Read", this);
    auto* programButtons = new QHBoxLayout;
    programButtons->addWidget(m_parse);
    programButtons->addWidget(m_readPrograms);
    programButtons->addStretch();

    auto* decoderGroup = new QGroupBox("Decoder", this);
    auto* decoderBox = new QVBoxLayout(decoderGroup);
    decoderBox->addWidget(MakeDecoderForm(*m_decoder, decoderGroup));
    m_readDecoder = new QPushButton("Read", decoderGroup);
    m_sendDecoder = new QPushButton("Send", decoderGroup);
    auto* decoderButtons = new QHBoxLayout;
    decoderButtons->addWidget(m_readDecoder);
    decoderButtons->addWidget(m_sendDecoder);
    decoderButtons->addStretch();
    decoderBox->addLayout(decoderButtons);

    // The input and decoder settings side by side, the program list under them across the page: stacked
    // under one another they were taller than the main window's page area.
    auto* row = new QHBoxLayout;
    row->addWidget(inputGroup, 0, Qt::AlignTop);
    row->addWidget(decoderGroup, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addLayout(row);
    page->addWidget(m_programs, 1);
    page->addLayout(programButtons);

    connect(m_parse, &QPushButton::clicked, this, &Cdecoder4::OnParse);
    connect(m_readPrograms, &QPushButton::clicked, this, &Cdecoder4::OnReadPrograms);
    connect(m_readDecoder, &QPushButton::clicked, this, &Cdecoder4::OnReadDecoder);
    connect(m_sendDecoder, &QPushButton::clicked, this, &Cdecoder4::OnSendDecoder);
    ShowBlock();
}

Cdecoder4::~Cdecoder4() = default;

void Cdecoder4::OnParse() {
    if (DeviceOnline())
        Carry(m_logic.Parse(m_tabs->currentIndex()));
}

void Cdecoder4::OnReadPrograms() {
    if (DeviceOnline())
        Carry(m_logic.ReadPrograms(m_tabs->currentIndex()));
}

void Cdecoder4::OnReadDecoder() {
    if (DeviceOnline())
        Carry(m_logic.ReadDecoder(m_tabs->currentIndex()));
}

void Cdecoder4::OnSendDecoder() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.SendDecoder(m_tabs->currentIndex(), m_decoder->Inputs());
    m_decoder->Focus(m_logic.FailedField());
    Carry(step);
}

void Cdecoder4::OnRefresh(unsigned what, bool refreshed) {
    if (what & Decoder4Logic::kRefreshDecoder)
        ShowDecoderForm(*m_decoder, m_logic.Offer(), m_logic.Decoder(m_logic.Channel()));
    CCam4ChannelView::OnRefresh(what, refreshed);
}

void Cdecoder4::ShowBlock() {
    // This page knows the cable form and the satellite one only.
    const bool cable = CamFormOfModuleType(m_logic.ModuleType()) == CamInputForm::kCable;
    ShowInputRows(cable ? CamInputForm::kCable : CamInputForm::kSatellite);
    m_input->Show(m_logic.Input(m_logic.Channel()));
}

void Cdecoder4::FillProgramList() {
    m_programs->clear();
    int row = 1;
    for (const CamProgramEntry& p : m_logic.Programs())
        AddProgramRow(row++, QString::fromStdString(p.RawName()), p);
}

}  // namespace nms
