// Holds the frame's layout as a tree of nodes, creates their windows, and shows, hides and activates
// single nodes afterwards. Owns every node added to it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <vector>

#include "framework/splitter_wnd.h"
#include "framework/tab_wnd.h"
#include "framework/visual_node.h"

class QKeyEvent;

namespace nms {

class TVisualFramework : public QObject {
    Q_OBJECT
public:
    explicit TVisualFramework(QObject* parent = nullptr);
    ~TVisualFramework() override;

    // Adds a root node, or a child of a node already added. A duplicate id is refused (false) and the
    // caller keeps the node; otherwise the framework owns it.
    bool Add(TVisualNode* node);
    bool Add(TVisualNode* parent, TVisualNode* node);

    // Creates the windows of every root in order, each with its subtree; false at the first failure. A
    // QMainWindow frame gets a root window as its central widget. Also installs the Ctrl+Tab handling.
    virtual bool Create(QWidget* frame);
    // Destroys every node's window and deletes every node.
    virtual void Destroy();
    virtual TSplitterWnd* CreateSplitter(int id);
    // Ctrl+Tab and Ctrl+Shift+Tab between the tabs of the focused view's tab window; true when consumed.
    virtual bool ProcessMessage(QKeyEvent* event);

    // Hides (destroys the window and removes its tab) or shows again (a new window in a new tab at the end,
    // not activated) a node.
    bool ShowNode(TVisualNode* node, bool show);
    // Makes the node's tab the active one without touching the active view.
    bool ActivateTab(TVisualNode* node);
    // Makes the node visible through every tab window above it and its window the active view.
    bool SetActiveNode(TVisualNode* node);

    TVisualNode* FindNode(int id) const;
    TVisualNode* FindNode(const QWidget* window) const;
    QWidget* GetWindow(int id) const;
    QWidget* GetFrame() const { return m_frame.data(); }
    QWidget* GetActiveView() const { return m_activeView.data(); }
    bool IsCreated() const { return m_created; }
    void EnableCtrlTab(bool enable) { m_ctrlTab = enable; }

signals:
    void activeViewChanged(QWidget* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CreateNode(TVisualNode* node, QWidget* parentWindow);
    bool CreateNodeWindow(TVisualNode* node, QWidget* parentWindow);
    void ApplyFlags(TVisualNode* node);
    void PlaceInFrame(QWidget* window, QWidget* parent);
    void SetActiveView(QWidget* view);
    void WatchTabWnd(QWidget* window);

    QPointer<QWidget> m_frame;
    std::vector<TVisualNode*> m_roots;
    std::map<int, TVisualNode*> m_nodes;
    QPointer<QWidget> m_activeView;
    bool m_ctrlTab = true;
    bool m_created = false;
};

}  // namespace nms
