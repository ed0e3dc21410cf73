#include "framework/visual_framework.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>

namespace nms {

TVisualFramework::TVisualFramework(QObject* parent) : QObject(parent) {}

TVisualFramework::~TVisualFramework() {
    if (!m_roots.empty() || !m_nodes.empty()) {
        Destroy();
    }
}

bool TVisualFramework::Add(TVisualNode* node) {
    if (node == nullptr || m_nodes.count(node->m_id) != 0) {
        return false;
    }
    node->m_framework = this;
    node->m_parent = nullptr;
    m_roots.push_back(node);
    m_nodes[node->m_id] = node;
    return true;
}

bool TVisualFramework::Add(TVisualNode* parent, TVisualNode* node) {
    if (parent == nullptr || node == nullptr || parent->m_framework != this ||
        m_nodes.count(node->m_id) != 0) {
        return false;
    }
    node->m_framework = this;
    node->m_parent = parent;
    parent->m_children.push_back(node);
    m_nodes[node->m_id] = node;
    return true;
}

bool TVisualFramework::Create(QWidget* frame) {
    m_frame = frame;
    for (TVisualNode* root : m_roots) {
        if (!CreateNode(root, frame)) {
            return false;
        }
    }
    for (const auto& [id, node] : m_nodes) {
        QWidget* window = node->GetWindow();
        if (window != nullptr && qobject_cast<TSplitterWnd*>(window) == nullptr &&
            qobject_cast<TTabWnd*>(window) == nullptr) {
            SetActiveNode(node);
            break;
        }
    }
    qApp->installEventFilter(this);
    m_created = true;
    return true;
}

void TVisualFramework::Destroy() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    for (TVisualNode* root : m_roots) {
        delete root->m_window.data();
    }
    for (const auto& [id, node] : m_nodes) {
        delete node;
    }
    m_nodes.clear();
    m_roots.clear();
    m_created = false;
}

TSplitterWnd* TVisualFramework::CreateSplitter(int id) {
    return new TSplitterWnd(id);
}

void TVisualFramework::PlaceInFrame(QWidget* window, QWidget* parent) {
    if (auto* mainWindow = qobject_cast<QMainWindow*>(parent)) {
        mainWindow->setCentralWidget(window);
    } else if (parent != nullptr && parent->layout() != nullptr) {
        parent->layout()->addWidget(window);
    } else {
        window->setParent(parent);
        if (parent != nullptr) {
            window->setGeometry(parent->rect());
        }
    }
    window->show();
}

void TVisualFramework::WatchTabWnd(QWidget* window) {
    if (auto* tabs = qobject_cast<TTabWnd*>(window)) {
        connect(tabs, &TTabWnd::viewActivated, this, &TVisualFramework::SetActiveView, Qt::UniqueConnection);
    }
}

bool TVisualFramework::CreateNodeWindow(TVisualNode* node, QWidget* parentWindow) {
    auto* parentTabs = qobject_cast<TTabWnd*>(parentWindow);
    auto* parentSplitter = qobject_cast<TSplitterWnd*>(parentWindow);
    node->m_parentWindow = parentWindow;
    switch (node->m_kind) {
        case TVisualNode::kSplitter: {
            TSplitterWnd* splitter = CreateSplitter(TSplitterWnd::kFirstPaneId);
            if (splitter == nullptr) {
                return false;
            }
            if (parentTabs != nullptr) {
                if (parentTabs->AddSplitterTab(node->m_title, node->m_rows, node->m_columns, splitter,
                                               TSplitterWnd::kFirstPaneId) == nullptr) {
                    delete splitter;
                    return false;
                }
            } else {
                if (!splitter->CreateStatic(node->m_rows, node->m_columns)) {
                    delete splitter;
                    return false;
                }
                PlaceInFrame(splitter, parentWindow);
            }
            node->m_window = splitter;
            return true;
        }
        case TVisualNode::kView: {
            if (parentSplitter == nullptr || !node->m_viewClass) {
                return false;
            }
            QWidget* view = node->m_viewClass.create(nullptr);
            if (view == nullptr) {
                return false;
            }
            if (!parentSplitter->SetPane(node->m_row, node->m_column, view)) {
                delete view;
                return false;
            }
            node->m_window = view;
            return true;
        }
        case TVisualNode::kSplitterView: {
            if (parentSplitter == nullptr) {
                return false;
            }
            TSplitterWnd* splitter =
                CreateSplitter(TSplitterWnd::kFirstPaneId + node->m_row * 16 + node->m_column);
            if (splitter == nullptr) {
                return false;
            }
            if (!splitter->CreateStatic(node->m_rows, node->m_columns) ||
                !parentSplitter->SetPane(node->m_row, node->m_column, splitter)) {
                delete splitter;
                return false;
            }
            node->m_window = splitter;
            return true;
        }
        case TVisualNode::kTabWnd: {
            if (parentTabs != nullptr) {
                TTabItem* item = parentTabs->AddViewTab(node->m_title, node->m_viewClass);
                if (item == nullptr) {
                    return false;
                }
                node->m_window = item->m_page.data();
            } else {
                QWidget* window = node->m_viewClass.create(nullptr);
                if (window == nullptr) {
                    return false;
                }
                window->setProperty(TTabWnd::kControlIdProperty, TTabWnd::kTabWndId);
                if (parentSplitter != nullptr) {
                    // A tab window named without a pane takes the first pane still empty.
                    int row = 0;
                    int column = 0;
                    if (!parentSplitter->FindFreePane(&row, &column) ||
                        !parentSplitter->SetPane(row, column, window)) {
                        delete window;
                        return false;
                    }
                } else {
                    PlaceInFrame(window, parentWindow);
                }
                node->m_window = window;
            }
            WatchTabWnd(node->m_window);
            return true;
        }
        case TVisualNode::kTabView: {
            if (!m_created) {
                return true;  // pages are made when they are first shown
            }
            if (parentTabs == nullptr) {
                return false;
            }
            TTabItem* item = parentTabs->AddViewTab(node->m_title, node->m_viewClass);
            if (item == nullptr) {
                return false;
            }
            node->m_window = item->m_page.data();
            WatchTabWnd(node->m_window);
            return true;
        }
        default:
            return false;
    }
}

void TVisualFramework::ApplyFlags(TVisualNode* node) {
    QWidget* window = node->GetWindow();
    if (auto* tabs = qobject_cast<TTabWnd*>(window)) {
        if (node->m_flags & TVisualNode::kTabsTop) {
            tabs->SetTabPosition(TTabWnd::kTop);
        } else if (node->m_flags & TVisualNode::kTabsBottom) {
            tabs->SetTabPosition(TTabWnd::kBottom);
        }
    }
    auto* parentTabs = qobject_cast<TTabWnd*>(node->GetParentWindow());
    if (parentTabs != nullptr && window != nullptr && (node->m_flags & TVisualNode::kActivate)) {
        parentTabs->SetActiveTab(parentTabs->FindTab(window), true);
    }
}

bool TVisualFramework::CreateNode(TVisualNode* node, QWidget* parentWindow) {
    if (!CreateNodeWindow(node, parentWindow)) {
        return false;
    }
    ApplyFlags(node);
    if (node->GetWindow() == nullptr) {
        return true;
    }
    for (TVisualNode* child : node->m_children) {
        if (!CreateNode(child, node->GetWindow())) {
            return false;
        }
    }
    return true;
}

bool TVisualFramework::ShowNode(TVisualNode* node, bool show) {
    if (node == nullptr) {
        return false;
    }
    auto* parentTabs = qobject_cast<TTabWnd*>(node->GetParentWindow());
    if (!show) {
        QWidget* window = node->GetWindow();
        if (node->GetParentWindow() != nullptr && window != nullptr) {
            if (parentTabs != nullptr) {
                const int index = parentTabs->FindTab(window);
                window->hide();
                parentTabs->ShowTab(index, false);
                parentTabs->RemoveTab(window);
            }
            if (m_activeView == window || window->isAncestorOf(m_activeView)) {
                m_activeView = nullptr;
            }
            delete window;
            node->m_window = nullptr;
        }
        return true;
    }
    // A node whose window exists already has its tab; making another would leave two tabs.
    if (node->GetWindow() != nullptr) {
        return parentTabs != nullptr;
    }
    QWidget* parentWindow = node->GetParentWindow();
    if (parentWindow == nullptr && node->m_parent != nullptr) {
        parentWindow = node->m_parent->GetWindow();
    }
    if (parentWindow == nullptr || !CreateNode(node, parentWindow)) {
        return false;
    }
    parentTabs = qobject_cast<TTabWnd*>(parentWindow);
    if (parentTabs == nullptr || node->GetWindow() == nullptr) {
        return false;
    }
    parentTabs->ShowTab(parentTabs->FindTab(node->GetWindow()), true);
    return true;
}

bool TVisualFramework::ActivateTab(TVisualNode* node) {
    if (node == nullptr) {
        return false;
    }
    auto* parentTabs = qobject_cast<TTabWnd*>(node->GetParentWindow());
    if (parentTabs == nullptr || node->GetWindow() == nullptr) {
        return false;
    }
    return parentTabs->SetActiveTab(parentTabs->FindTab(node->GetWindow()), false);
}

bool TVisualFramework::SetActiveNode(TVisualNode* node) {
    if (node == nullptr || !node->m_enabled || node->GetWindow() == nullptr ||
        qobject_cast<TSplitterWnd*>(node->GetWindow()) != nullptr ||
        qobject_cast<TTabWnd*>(node->GetWindow()) != nullptr) {
        return false;
    }
    std::vector<TVisualNode*> chain;
    for (TVisualNode* n = node; n != nullptr; n = n->m_parent) {
        chain.insert(chain.begin(), n);
    }
    for (TVisualNode* n : chain) {
        if (auto* tabs = qobject_cast<TTabWnd*>(n->GetParentWindow())) {
            if (!tabs->SetActiveTab(tabs->FindTab(n->GetWindow()), true)) {
                return false;
            }
        }
    }
    SetActiveView(node->GetWindow());
    return true;
}

void TVisualFramework::SetActiveView(QWidget* view) {
    m_activeView = view;
    if (view != nullptr && !view->hasFocus() && !view->isAncestorOf(QApplication::focusWidget())) {
        view->setFocus();
    }
    emit activeViewChanged(view);
}

TVisualNode* TVisualFramework::FindNode(int id) const {
    const auto it = m_nodes.find(id);
    return it != m_nodes.end() ? it->second : nullptr;
}

TVisualNode* TVisualFramework::FindNode(const QWidget* window) const {
    if (window == nullptr) {
        return nullptr;
    }
    for (const auto& [id, node] : m_nodes) {
        if (node->GetWindow() == window) {
            return node;
        }
    }
    return nullptr;
}

QWidget* TVisualFramework::GetWindow(int id) const {
    const TVisualNode* node = FindNode(id);
    return node != nullptr ? node->GetWindow() : nullptr;
}

bool TVisualFramework::ProcessMessage(QKeyEvent* event) {
    if (event == nullptr || event->type() != QEvent::KeyPress || !m_ctrlTab) {
        return false;
    }
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier)) {
        return false;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->isWindow()) {
        return false;
    }
    TVisualNode* node = nullptr;
    for (QWidget* w = focus; w != nullptr && node == nullptr; w = w->parentWidget()) {
        node = FindNode(w);
    }
    TTabWnd* tabs = nullptr;
    for (; node != nullptr && tabs == nullptr; node = node->m_parent) {
        tabs = qobject_cast<TTabWnd*>(node->GetWindow());
    }
    if (tabs == nullptr) {
        return false;
    }
    const bool backwards = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    const int count = tabs->GetTabCount();
    const int start = tabs->GetActiveTab();
    int index = start;
    // At most one round: from no active tab (-1) the start index is never met again.
    for (int step = 0; step < count; ++step) {
        if (backwards) {
            index = index - 1 < 0 ? count - 1 : index - 1;
        } else {
            index = index + 1 >= count ? 0 : index + 1;
        }
        if (index == start || tabs->SetActiveTab(index, true)) {
            break;
        }
    }
    return true;
}

bool TVisualFramework::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_frame != nullptr) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == m_frame->window()) {
            return ProcessMessage(static_cast<QKeyEvent*>(event));
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace nms
