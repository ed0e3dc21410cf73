#include "framework/visual_node.h"

namespace nms {

TVisualNode::TVisualNode(int id, const QString& title, const TViewClass& viewClass, int flags)
    : m_kind(!viewClass ? kNone : (viewClass.isTabWnd ? kTabWnd : kTabView)),
      m_id(id),
      m_title(title),
      m_viewClass(viewClass),
      m_flags(flags) {}

TVisualNode::TVisualNode(int id, const QString& title, int rows, int columns, int flags)
    : m_kind(kSplitter), m_id(id), m_title(title), m_rows(rows), m_columns(columns), m_flags(flags) {}

TVisualNode::TVisualNode(int id, int row, int column, const TViewClass& viewClass, int width, int height,
                         int flags)
    : m_kind(kView),
      m_id(id),
      m_row(row),
      m_column(column),
      m_viewClass(viewClass),
      m_width(width),
      m_height(height),
      m_flags(flags) {}

TVisualNode::TVisualNode(int id, int row, int column, int rows, int columns, int flags)
    : m_kind(kSplitterView),
      m_id(id),
      m_rows(rows),
      m_columns(columns),
      m_row(row),
      m_column(column),
      m_flags(flags) {}

}  // namespace nms
