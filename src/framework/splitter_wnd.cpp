#include "framework/splitter_wnd.h"

#include <QApplication>
#include <QVBoxLayout>

namespace nms {

TSplitterWnd::TSplitterWnd(int id, QWidget* parent) : QSplitter(parent), m_id(id) {
    setChildrenCollapsible(false);
}

bool TSplitterWnd::CreateStatic(int rows, int columns) {
    if (m_rows != 0 || rows < 1 || columns < 1) {
        return false;
    }
    m_rows = rows;
    m_columns = columns;
    setOrientation(rows == 1 ? Qt::Horizontal : Qt::Vertical);
    auto makeCell = [this](QSplitter* owner) {
        auto* cell = new QWidget(owner);
        auto* layout = new QVBoxLayout(cell);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        owner->addWidget(cell);
        owner->setStretchFactor(owner->indexOf(cell), 1);
        m_cells.push_back(cell);
    };
    for (int r = 0; r < rows; ++r) {
        QSplitter* owner = this;
        if (rows > 1 && columns > 1) {
            owner = new QSplitter(Qt::Horizontal, this);
            owner->setChildrenCollapsible(false);
            addWidget(owner);
            setStretchFactor(indexOf(owner), 1);
        }
        for (int c = 0; c < columns; ++c) {
            makeCell(owner);
        }
    }
    return true;
}

QWidget* TSplitterWnd::Cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns) {
        return nullptr;
    }
    return m_cells[static_cast<size_t>(row * m_columns + column)];
}

QWidget* TSplitterWnd::GetPane(int row, int column) const {
    QWidget* cell = Cell(row, column);
    if (cell == nullptr || cell->layout()->count() == 0) {
        return nullptr;
    }
    return cell->layout()->itemAt(0)->widget();
}

bool TSplitterWnd::SetPane(int row, int column, QWidget* window) {
    QWidget* cell = Cell(row, column);
    if (cell == nullptr || window == nullptr || GetPane(row, column) != nullptr) {
        return false;
    }
    cell->layout()->addWidget(window);
    window->show();
    return true;
}

bool TSplitterWnd::FindFreePane(int* row, int* column) const {
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            if (GetPane(r, c) == nullptr) {
                *row = r;
                *column = c;
                return true;
            }
        }
    }
    return false;
}

QWidget* TSplitterWnd::GetActivePane() const {
    QWidget* focus = QApplication::focusWidget();
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            QWidget* pane = GetPane(r, c);
            if (pane != nullptr && focus != nullptr && (pane == focus || pane->isAncestorOf(focus))) {
                return pane;
            }
        }
    }
    return nullptr;
}

}  // namespace nms
