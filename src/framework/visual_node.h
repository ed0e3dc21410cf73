// One node of the frame's layout tree: a splitter, a view in a splitter pane, a nested splitter, a tab
// window or a view in a tab. The node keeps its description, so its window can be made again after it
// was destroyed.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

#include "framework/view_class.h"

namespace nms {

class TVisualFramework;

class TVisualNode {
public:
    enum Kind { kNone = 0, kSplitter = 1, kView = 2, kSplitterView = 3, kTabWnd = 4, kTabView = 5 };
    enum Flags { kTabsTop = 1, kTabsBottom = 2, kActivate = 4 };

    // A tab window (the class derives from TTabWnd) or a view in a tab (any other class); a node without
    // a class has no kind and cannot be created.
    TVisualNode(int id, const QString& title, const TViewClass& viewClass, int flags = 0);
    // A splitter of rows x columns, in the frame or in a tab.
    TVisualNode(int id, const QString& title, int rows, int columns, int flags = 0);
    // A view in pane (row, column) of the parent splitter.
    TVisualNode(int id, int row, int column, const TViewClass& viewClass, int width, int height,
                int flags = 0);
    // A splitter of rows x columns nested in pane (row, column) of the parent splitter.
    TVisualNode(int id, int row, int column, int rows, int columns, int flags = 0);

    TVisualNode(const TVisualNode&) = delete;
    TVisualNode& operator=(const TVisualNode&) = delete;

    int GetKind() const { return m_kind; }
    int GetId() const { return m_id; }
    QWidget* GetWindow() const { return m_window.data(); }
    QWidget* GetParentWindow() const { return m_parentWindow.data(); }
    TVisualNode* GetParent() const { return m_parent; }
    const std::vector<TVisualNode*>& GetChildren() const { return m_children; }

    int m_kind = kNone;
    int m_id = 0;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_parentWindow;
    QString m_title;
    int m_rows = 0;
    int m_columns = 0;
    int m_row = 0;
    int m_column = 0;
    TViewClass m_viewClass;
    int m_width = 0;
    int m_height = 0;
    bool m_enabled = true;
    int m_flags = 0;
    TVisualNode* m_parent = nullptr;
    TVisualFramework* m_framework = nullptr;
    std::vector<TVisualNode*> m_children;
};

}  // namespace nms
