#include "pages/modulator/qam_base_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nms {

QamRecordPage::QamRecordPage(const FieldTable& table, int size, int mirrorPort, int idsFrom, QWidget* parent,
                             int clearFrom, int clearTo)
    : CBlockPageView(parent),
      m_logic(std::make_unique<QamRecordLogic>(table, size, mirrorPort, idsFrom, clearFrom, clearTo)),
      m_binder(std::make_unique<FormBinder>(table, this)) {
    MakeGetSetButtons();
}

QamRecordPage::~QamRecordPage() = default;

// ---- single QAM / QPSK modulator ----

CQamBaseView::CQamBaseView(QWidget* parent)
    : QamRecordPage(QamModulatorParamsTable(), kQamModulatorParamsSize, 41, 32, parent,
                    kQamModulatorClearFrom, kQamModulatorClearTo) {
    auto* modulator = new QGroupBox(this);
    m_binder->AddRowsTo(modulator, {"freq", "symbol", "att", "attQpsk", "constellation", "interface",
                                    "inversion", "annex", "coding"});
    m_insertGroup = new QGroupBox("Insert(Edit PSI)", this);
    auto* checks = new QGridLayout(m_insertGroup);
    const char* keys[] = {"pat", "pmt", "sdt", "nit", "cat"};
    for (int i = 0; i < 5; ++i) {
        m_binder->Control(keys[i])->setParent(m_insertGroup);
        checks->addWidget(m_binder->Control(keys[i]), i / 3, i % 3);
    }
    auto* output = new QGroupBox(this);
    m_binder->AddRowsTo(output, {"port", "tsId", "netId"});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(modulator);
    left->addLayout(buttons);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(m_insertGroup);
    right->addWidget(output);
    right->addStretch();
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch();
}

void CQamBaseView::OnInitialUpdate() {
    m_variant = QamVariant(m_pageParam);
    const std::vector<std::string> shown = QamShownKeys(m_variant);
    for (const FieldDef& f : QamModulatorParamsTable())
        m_binder->SetUsed(f.key, std::find(shown.begin(), shown.end(), f.key) != shown.end());
    m_insertGroup->setVisible(!m_variant.qpsk);
    ShowBlock();
}

void CQamBaseView::ShowBlock() {
    // The identifiers show once a reply has carried them; until then they go back as they are.
    m_binder->SetUsed("tsId", m_logic->IdsShown());
    m_binder->SetUsed("netId", m_logic->IdsShown());
    QamRecordPage::ShowBlock();
}

// ---- QAM output of the multiplexing modulator ----

CmuxQAM::CmuxQAM(QWidget* parent)
    : QamRecordPage(MuxQamOutputParamsTable(), kMuxQamOutputParamsSize, -1, 0, parent) {
    auto* modulator = new QGroupBox("Modulator Setting", this);
    auto* grid = m_binder->AddRowsTo(modulator, {"freq", "symbol", "att", "constellation"});
    auto* inverse = new QGroupBox("Inverse Freq.", modulator);
    auto* inverseBox = new QHBoxLayout(inverse);
    m_binder->Control("inversion")->setParent(inverse);
    inverseBox->addWidget(m_binder->Control("inversion"));
    m_binder->Label("inversion")->hide();
    auto* coding = new QGroupBox("Coding Type", modulator);
    auto* codingBox = new QHBoxLayout(coding);
    m_binder->Control("annex")->setParent(coding);
    codingBox->addWidget(m_binder->Control("annex"));
    m_binder->Label("annex")->hide();
    grid->addWidget(inverse, 4, 0, 1, 2);
    grid->addWidget(coding, 5, 0, 1, 2);
    auto* output = new QGroupBox("Output", this);
    m_binder->AddRowsTo(output, {"tsId", "netId", "port"});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(modulator);
    left->addLayout(buttons);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(output);
    right->addStretch();
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch();
}

}  // namespace nms
