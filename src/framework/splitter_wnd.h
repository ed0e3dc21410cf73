// A static splitter: a fixed grid of panes, each of which holds at most one window.
#pragma once

#include <QPointer>
#include <QSplitter>
#include <vector>

namespace nms {

class TSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kFirstPaneId = 0xE900;

    explicit TSplitterWnd(int id = kFirstPaneId, QWidget* parent = nullptr);

    // Builds the grid once. One row gives a horizontal splitter, one column a vertical one; a grid of
    // both is a vertical splitter of horizontal rows.
    bool CreateStatic(int rows, int columns);

    int GetId() const { return m_id; }
    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_columns; }

    // The window in pane (row, column), or null when the pane is empty or out of the grid.
    QWidget* GetPane(int row, int column) const;
    // Puts a window into an empty pane; the splitter takes it over. Refused for a taken or unknown pane.
    bool SetPane(int row, int column, QWidget* window);
    // The first empty pane row by row; false when all are taken.
    bool FindFreePane(int* row, int* column) const;
    // The pane that holds the keyboard focus, else null.
    QWidget* GetActivePane() const;

private:
    QWidget* Cell(int row, int column) const;

    int m_id;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<QWidget*> m_cells;  // row by row; each cell holds its pane in a zero-margin layout
};

}  // namespace nms
