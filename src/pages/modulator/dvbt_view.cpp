#include "pages/modulator/dvbt_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "platform/prompt.h"

namespace nms {
namespace {

bool IsInsertion(const std::string& key) {
    return key == "pat" || key == "sdt" || key == "nit" || key == "pmt" || key == "cat";
}

QComboBox* Combo(FormBinder& binder, const char* key) {
    return qobject_cast<QComboBox*>(binder.Control(key));
}

}  // namespace

CDVBTView::CDVBTView(QWidget* parent) : CBlockPageView(parent) {
    m_stack = new QStackedWidget(this);
    const DvbtLayout layouts[] = {DvbtLayout::kDvbS2, DvbtLayout::kDtmb, DvbtLayout::kDvbt,
                                  DvbtLayout::kDvbT2};
    for (DvbtLayout layout : layouts) {
        const size_t i = size_t(layout);
        const FieldTable& table = DvbtTableOf(layout);
        m_forms[i] = new QWidget(m_stack);
        m_binders[i] = std::make_unique<FormBinder>(table, m_forms[i]);
        auto* radio = new QGroupBox(m_forms[i]);
        auto* grid = new QGridLayout(radio);
        auto* insertion = new QGroupBox("Insert(Edit PSI)", m_forms[i]);
        auto* checks = new QGridLayout(insertion);
        auto* output = new QGroupBox(m_forms[i]);
        auto* ids = new QGridLayout(output);
        std::vector<std::string> radioKeys, idKeys;
        int check = 0;
        for (const FieldDef& f : table) {
            if (IsInsertion(f.key)) {
                m_binders[i]->Control(f.key)->setParent(insertion);
                checks->addWidget(m_binders[i]->Control(f.key), check / 3, check % 3);
                ++check;
            } else if (f.key == "port" || f.key == "tsId" || f.key == "netId") {
                idKeys.push_back(f.key);
            } else {
                radioKeys.push_back(f.key);
            }
        }
        for (auto [keys, box] : {std::pair{&radioKeys, static_cast<QWidget*>(radio)},
                                 std::pair{&idKeys, static_cast<QWidget*>(output)}})
            for (const std::string& key : *keys) {
                m_binders[i]->Control(key)->setParent(box);
                if (QLabel* label = m_binders[i]->Label(key))
                    label->setParent(box);
            }
        m_binders[i]->AddRows(grid, radioKeys);
        m_binders[i]->AddRows(ids, idKeys);
        // The unit labels stand beside their fields and come and go with them.
        const std::pair<const char*, const char*> units[] = {
            {"freq", "MHz"}, {"inputFreq", "MHz"}, {"power", "db(80-110)"}, {"symbol", "Mbps"}};
        for (const auto& [key, unit] : units) {
            if (FindField(table, key) < 0)
                continue;
            QWidget* control = m_binders[i]->Control(key);
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(grid->indexOf(control), &row, &column, &rows, &columns);
            auto* label = new QLabel(unit, radio);
            grid->addWidget(label, row, column + columns);
            m_units.emplace_back(control, label);
        }
        grid->setColumnStretch(2, 1);
        auto* right = new QVBoxLayout;
        right->addWidget(insertion);
        right->addWidget(output);
        right->addStretch();
        auto* row = new QHBoxLayout(m_forms[i]);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(radio);
        row->addLayout(right);
        row->addStretch();
        m_stack->addWidget(m_forms[i]);
        // The DVB-S/S2 layout keeps its insertion bits in the block but shows no boxes for them.
        if (layout == DvbtLayout::kDvbS2) {
            insertion->hide();
            m_binders[i]->SetUsed("interface", false);
        }
    }
    FormBinder& s2 = *m_binders[size_t(DvbtLayout::kDvbS2)];
    connect(Combo(s2, "standard"), &QComboBox::activated, this, &CDVBTView::OnSelChangeModulationMode);
    connect(Combo(s2, "constellation"), &QComboBox::activated, this, &CDVBTView::OnSelChangeConstellation);

    auto* page = new QVBoxLayout(this);
    page->addWidget(m_stack);
    AddGetSetRow(page);
    page->addStretch();
}

CDVBTView::~CDVBTView() = default;

void CDVBTView::OnInitialUpdate() {
    m_logic = std::make_unique<DvbtModLogic>(m_pageParam);
    m_binders[size_t(DvbtLayout::kDtmb)]->SetUsed("inputFreq", m_logic->Variant().inputFrequency);
    m_binders[size_t(DvbtLayout::kDvbt)]->SetUsed("inputFreq", false);
    for (const auto& [control, unit] : m_units)
        unit->setVisible(!control->isHidden());
    ShowBlock();
}

void CDVBTView::FillFecList(int standard, int constellation) {
    QComboBox* fec = Combo(*m_binders[size_t(DvbtLayout::kDvbS2)], "fec");
    fec->clear();
    for (const std::string& text : S2FecList(standard, constellation))
        fec->addItem(QString::fromStdString(text));
    m_standard = standard;
    m_constellation = constellation;
}

void CDVBTView::ShowBlock() {
    m_stack->setCurrentWidget(m_forms[size_t(m_logic->Layout())]);
    if (m_logic->Layout() == DvbtLayout::kDvbS2) {
        const auto& bytes = m_logic->Block().Bytes();
        FillFecList(bytes[9] ? 1 : 0, bytes[7] ? 1 : 0);
    }
    Binder().Show(m_logic->Block());
}

void CDVBTView::OnSelChangeModulationMode() {
    FormBinder& s2 = *m_binders[size_t(DvbtLayout::kDvbS2)];
    const int standard = Combo(s2, "standard")->currentIndex();
    if (standard < 0 || standard == m_standard)
        return;
    const int index = Combo(s2, "fec")->currentIndex();
    int constellation = m_constellation;
    if (standard == 0) {
        constellation = 0;  // DVB-S is QPSK only
        Combo(s2, "constellation")->setCurrentIndex(0);
    }
    FillFecList(standard, constellation);
    Combo(s2, "fec")->setCurrentIndex(S2FecIndexAfter(standard, constellation, index));
}

void CDVBTView::OnSelChangeConstellation() {
    FormBinder& s2 = *m_binders[size_t(DvbtLayout::kDvbS2)];
    const int constellation = Combo(s2, "constellation")->currentIndex();
    if (constellation < 0 || constellation == m_constellation)
        return;
    if (constellation == 1 && m_standard == 0) {
        ShowMessageBox("1 DVB-S only support QPSK mode !");
        Combo(s2, "constellation")->setCurrentIndex(0);
        return;
    }
    const int index = Combo(s2, "fec")->currentIndex();
    FillFecList(m_standard, constellation);
    Combo(s2, "fec")->setCurrentIndex(S2FecIndexAfter(m_standard, constellation, index));
}

}  // namespace nms
