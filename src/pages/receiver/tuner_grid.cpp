#include "pages/receiver/tuner_grid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace nms {

TunerGrid::TunerGrid(QWidget* parent) : QWidget(parent) {
    m_tabs = new QTabBar(this);
    m_tabs->hide();
    auto* grid = new QGridLayout;
    static const char* const kCaptions[kColumns] = {
        "Frequency:", "LNB Frequency:", "Symbol:", "Polarization:", "22KHz", "DiSEqC", "Disable"};
    for (int c = 0; c < kColumns; ++c) {
        m_captions[size_t(c)] = new QLabel(kCaptions[c], this);
        grid->addWidget(m_captions[size_t(c)], 0, c + 1);
        m_columnShown[size_t(c)] = true;
    }
    for (int r = 0; r < kRows; ++r) {
        const size_t i = size_t(r);
        m_rowLabels[i] = new QLabel(QString::number(r + 1), this);
        m_frequency[i] = new QLineEdit(this);
        m_lnb[i] = new QLineEdit(this);
        m_symbol[i] = new QLineEdit(this);
        m_first[i] = new QComboBox(this);
        m_second[i] = new QComboBox(this);
        m_diseqc[i] = new QComboBox(this);
        m_disable[i] = new QComboBox(this);
        grid->addWidget(m_rowLabels[i], r + 1, 0);
        for (int c = 0; c < kColumns; ++c)
            grid->addWidget(Cell(r, Column(c)), r + 1, c + 1);
    }
    FillColumn(kFirst, kPolarizationList);
    FillColumn(kSecond, kToneList);
    FillColumn(kDiseqc, kDiseqcList);
    FillColumn(kDisable, kDisableList);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(m_tabs);
    page->addLayout(grid);
}

QWidget* TunerGrid::Cell(int row, Column column) const {
    const size_t i = size_t(row);
    switch (column) {
        case kFrequency:
            return m_frequency[i];
        case kLnb:
            return m_lnb[i];
        case kSymbol:
            return m_symbol[i];
        case kFirst:
            return m_first[i];
        case kSecond:
            return m_second[i];
        case kDiseqc:
            return m_diseqc[i];
        default:
            return m_disable[i];
    }
}

void TunerGrid::FillColumn(Column column, const std::vector<std::string>& items) {
    for (int r = 0; r < kRows; ++r) {
        auto* combo = qobject_cast<QComboBox*>(Cell(r, column));
        if (!combo)
            return;
        const int selected = combo->currentIndex();
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(QString::fromStdString(item));
        combo->setCurrentIndex(selected < combo->count() ? selected : -1);
    }
}

void TunerGrid::SetCaption(Column column, const char* text) {
    m_captions[size_t(column)]->setText(text);
}

void TunerGrid::SetColumnShown(Column column, bool shown) {
    m_columnShown[size_t(column)] = shown;
    Apply();
}

void TunerGrid::SetRowsShown(int rows) {
    m_rows = rows;
    Apply();
}

void TunerGrid::SetRowNumbers(int first) {
    for (int r = 0; r < kRows; ++r)
        m_rowLabels[size_t(r)]->setText(QString::number(first + r));
}

void TunerGrid::Apply() {
    for (int c = 0; c < kColumns; ++c)
        m_captions[size_t(c)]->setVisible(m_columnShown[size_t(c)]);
    for (int r = 0; r < kRows; ++r) {
        const bool row = r < m_rows;
        m_rowLabels[size_t(r)]->setVisible(row);
        for (int c = 0; c < kColumns; ++c)
            Cell(r, Column(c))->setVisible(row && m_columnShown[size_t(c)]);
    }
}

TunerRowInputs TunerGrid::Row(int row) const {
    const size_t i = size_t(row);
    TunerRowInputs in;
    in.frequency = m_frequency[i]->text().toStdString();
    in.lnb = m_lnb[i]->text().toStdString();
    in.symbol = m_symbol[i]->text().toStdString();
    in.selection = {m_first[i]->currentIndex(), m_second[i]->currentIndex(), m_diseqc[i]->currentIndex(),
                    m_disable[i]->currentIndex()};
    return in;
}

void TunerGrid::SetRow(int row, const TunerRowInputs& in) {
    const size_t i = size_t(row);
    m_frequency[i]->setText(QString::fromStdString(in.frequency));
    m_lnb[i]->setText(QString::fromStdString(in.lnb));
    m_symbol[i]->setText(QString::fromStdString(in.symbol));
    // An index beyond a list leaves the selector without a selection.
    const std::array<QComboBox*, 4> combos = {m_first[i], m_second[i], m_diseqc[i], m_disable[i]};
    for (size_t k = 0; k < combos.size(); ++k) {
        const int index = in.selection[k];
        combos[k]->setCurrentIndex(index >= 0 && index < combos[k]->count() ? index : -1);
    }
}

void TunerGrid::FocusRow(int row) {
    m_frequency[size_t(row)]->setFocus();
}

void TunerGrid::LayOutPage(QWidget* page, TunerGrid* grid, QWidget* under, QPushButton** get,
                           QPushButton** set) {
    *get = new QPushButton("Get", page);
    *set = new QPushButton("Set", page);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(*get);
    buttons->addWidget(*set);
    buttons->addStretch();
    auto* column = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(grid);
    row->addStretch();
    column->addLayout(row);
    if (under)
        column->addWidget(under, 0, Qt::AlignLeft);
    column->addLayout(buttons);
    column->addStretch();
}

}  // namespace nms
