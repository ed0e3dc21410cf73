// The grid of the tuner input pages: eight rows of frequency, LNB frequency and symbol-rate edits and
// four selectors (first column, second column, DiSEqC, "Disable"), their column captions and row numbers,
// and the tab bar of the 16-channel layouts. Which rows and columns show is the page's business.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "pages/receiver/tuner_records.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace nms {

class TunerGrid : public QWidget {
    Q_OBJECT
public:
    enum Column { kFrequency, kLnb, kSymbol, kFirst, kSecond, kDiseqc, kDisable, kColumns };
    static constexpr int kRows = 8;

    // A tuner input page's layout: the grid, then (when given) the widget under it, then the "Get" and
    // "Set" buttons, made here for the page.
    static void LayOutPage(QWidget* page, TunerGrid* grid, QWidget* under, QPushButton** get,
                           QPushButton** set);

    explicit TunerGrid(QWidget* parent = nullptr);

    // Refills the selectors of a column (every row); a selection the new list holds is kept.
    void FillColumn(Column column, const std::vector<std::string>& items);
    void SetCaption(Column column, const char* text);
    void SetColumnShown(Column column, bool shown);
    // Rows 1..rows shown, the others hidden.
    void SetRowsShown(int rows);
    // Row labels first .. first + 7.
    void SetRowNumbers(int first);
    bool IsColumnShown(Column column) const { return m_columnShown[column]; }
    int RowsShown() const { return m_rows; }

    TunerRowInputs Row(int row) const;
    void SetRow(int row, const TunerRowInputs& inputs);
    // Keyboard focus on the first edit of a row (after a refused value).
    void FocusRow(int row);

    QTabBar* Tabs() const { return m_tabs; }

    std::array<QLabel*, kColumns> m_captions{};
    std::array<QLabel*, kRows> m_rowLabels{};
    std::array<QLineEdit*, kRows> m_frequency{}, m_lnb{}, m_symbol{};
    std::array<QComboBox*, kRows> m_first{}, m_second{}, m_diseqc{}, m_disable{};

private:
    void Apply();
    QWidget* Cell(int row, Column column) const;

    QTabBar* m_tabs = nullptr;
    std::array<bool, kColumns> m_columnShown{};
    int m_rows = kRows;
};

}  // namespace nms
