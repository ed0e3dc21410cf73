#include "framework/tab_wnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

#include "framework/splitter_wnd.h"
#include "framework/view_class.h"
#include "platform/resource_icons.h"

namespace nms {

namespace {

// Tab body rows in a top strip; a bottom strip mirrors them.
constexpr int kBandTop = 6;
constexpr int kBandBottom = 26;

}  // namespace

TTabWnd::TTabWnd(QWidget* parent) : QWidget(parent) {
    const QPalette pal = QApplication::palette();
    m_black = Qt::black;
    m_face = pal.color(QPalette::Button);
    m_highlight = pal.color(QPalette::Light);
    m_shadow = pal.color(QPalette::Dark);
    m_tabFont = QApplication::font("QStatusBar");
    m_background = PixmapById(kBackgroundBitmap);
    setProperty(kControlIdProperty, kTabWndId);
}

TTabWnd::~TTabWnd() {
    for (TTabItem* item : m_items) {
        delete item;
    }
}

QRect TTabWnd::PageRect(int width, int height) const {
    if (m_stripPosition == kTop) {
        return QRect(1, 31, width, height - 32);
    }
    return QRect(1, 0, width, height - 30);
}

void TTabWnd::ResizeChildren(int width, int height) {
    m_resizing = true;
    const int w = width == -1 ? this->width() - 2 : width;
    const int h = height == -1 ? this->height() : height;
    const QRect area = PageRect(w, h);
    for (TTabItem* item : m_items) {
        if (item->m_page) {
            item->m_page->setGeometry(area);
        }
    }
    m_resizing = false;
}

TTabItem* TTabWnd::AddSplitterTab(const QString& title, int rows, int columns, TSplitterWnd* splitter,
                                  int id) {
    if (splitter == nullptr) {
        return nullptr;
    }
    if (splitter->GetRowCount() == 0 && !splitter->CreateStatic(rows, columns)) {
        return nullptr;
    }
    splitter->setParent(this);
    splitter->setProperty(kControlIdProperty, id);
    splitter->setGeometry(PageRect(this->width() - 2, this->height()));
    splitter->show();
    auto* item = new TTabItem(this, splitter, title);
    item->m_caption->setFont(m_tabFont);
    m_items.push_back(item);
    if (m_items.size() > 1) {
        splitter->setEnabled(false);
        splitter->hide();
    }
    LayoutStrip();
    InvalidateStrip();
    return item;
}

TTabItem* TTabWnd::AddViewTab(const QString& title, const TViewClass& viewClass) {
    if (!viewClass) {
        return nullptr;
    }
    QWidget* page = viewClass.create(this);
    if (page == nullptr) {
        return nullptr;
    }
    if (page->parentWidget() != this) {
        page->setParent(this);
    }
    // Pages get a border unless the tab window sits in a splitter pane (a pane is a cell of the splitter).
    const QWidget* parent = parentWidget();
    const bool inSplitter =
        qobject_cast<const QSplitter*>(parent) != nullptr ||
        (parent != nullptr && qobject_cast<const QSplitter*>(parent->parentWidget()) != nullptr);
    if (auto* frame = qobject_cast<QFrame*>(page); frame != nullptr && !inSplitter) {
        frame->setFrameShape(QFrame::StyledPanel);
    }
    page->setProperty(kControlIdProperty, kFirstPageId + GetTabCount());
    page->setGeometry(PageRect(this->width() - 2, this->height()));
    auto* item = new TTabItem(this, page, title);
    item->m_caption->setFont(m_tabFont);
    m_items.push_back(item);
    page->setEnabled(false);
    page->hide();
    LayoutStrip();
    InvalidateStrip();
    return item;
}

int TTabWnd::HitTest(const QPoint& point) const {
    return HitTest(point.x(), point.y());
}

int TTabWnd::HitTest(int x, int y) const {
    const int h = height();
    const bool inBand = m_stripPosition == kTop ? (y >= kBandTop && y <= kBandBottom)
                                                : (y >= h - kBandBottom && y <= h - kBandTop);
    if (!inBand) {
        return -1;
    }
    for (int i = 0; i < GetTabCount(); ++i) {
        const TTabItem* item = m_items[static_cast<size_t>(i)];
        if (item->m_visible && item->m_selectable && x >= item->m_left && x < item->m_right) {
            return i;
        }
    }
    return -1;
}

bool TTabWnd::CanChangeTab(QWidget* /*oldPage*/, QWidget* /*newPage*/) {
    return true;
}

void TTabWnd::OnTabChanged(QWidget* /*oldPage*/, QWidget* /*newPage*/) {}

bool TTabWnd::SetActiveTab(int index, bool activateView) {
    TTabItem* item = GetTabItem(index);
    if (item == nullptr || !item->m_selectable || !item->m_visible) {
        return false;
    }
    QWidget* oldPage = GetTabWnd(m_activeTab);
    QWidget* newPage = item->m_page.data();
    if (!CanChangeTab(oldPage, newPage)) {
        return false;
    }
    if (oldPage != nullptr) {
        oldPage->setEnabled(false);
        oldPage->hide();
    }
    if (newPage != nullptr) {
        newPage->setEnabled(item->m_enabled);
        newPage->show();
        newPage->setFocus();
    }
    m_activeTab = index;
    InvalidateStrip();
    OnTabChanged(oldPage, newPage);
    if (activateView && newPage != nullptr) {
        if (QWidget* view = FindViewIn(newPage)) {
            emit viewActivated(view);
        }
    }
    return true;
}

QWidget* TTabWnd::FindViewIn(QWidget* page) {
    if (page == nullptr) {
        return nullptr;
    }
    if (auto* splitter = qobject_cast<TSplitterWnd*>(page)) {
        if (QWidget* active = splitter->GetActivePane()) {
            return FindViewIn(active);
        }
        for (int r = 0; r < splitter->GetRowCount(); ++r) {
            for (int c = 0; c < splitter->GetColumnCount(); ++c) {
                if (QWidget* view = FindViewIn(splitter->GetPane(r, c))) {
                    return view;
                }
            }
        }
        return nullptr;
    }
    if (auto* tabs = qobject_cast<TTabWnd*>(page)) {
        return FindViewIn(tabs->GetTabWnd(tabs->GetActiveTab()));
    }
    return page;
}

int TTabWnd::RemoveTab(QWidget* page) {
    const int index = FindTab(page);
    if (index < 0) {
        return 0;
    }
    delete m_items[static_cast<size_t>(index)];
    m_items.erase(m_items.begin() + index);
    // The active tab keeps pointing at the same page, or at the one before a removed active tab; nothing
    // is activated here, the caller chooses.
    if (m_activeTab >= index) {
        --m_activeTab;
    }
    LayoutStrip();
    InvalidateStrip();
    return m_activeTab;
}

int TTabWnd::FindTab(const QWidget* page) const {
    if (page == nullptr) {
        return -1;
    }
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_items[static_cast<size_t>(i)]->m_page == page) {
            return i;
        }
    }
    return -1;
}

TTabItem* TTabWnd::GetTabItem(int index) const {
    if (index < 0 || index >= GetTabCount()) {
        return nullptr;
    }
    return m_items[static_cast<size_t>(index)];
}

QWidget* TTabWnd::GetTabWnd(int index) const {
    const TTabItem* item = GetTabItem(index);
    return item != nullptr ? item->m_page.data() : nullptr;
}

void TTabWnd::ShowTab(int index, bool show) {
    if (TTabItem* item = GetTabItem(index)) {
        item->m_visible = show;
        LayoutStrip();
        InvalidateStrip();
    }
}

void TTabWnd::SetTabPosition(int position) {
    m_stripPosition = position == kTop ? kTop : kBottom;
    ResizeChildren();
    LayoutStrip();
    update();
}

void TTabWnd::InvalidateStrip() {
    if (m_stripPosition == kTop) {
        update(QRect(0, 0, 32000, kStripHeight));
    } else {
        update(QRect(0, height() - kStripHeight, 32000, kStripHeight));
    }
}

void TTabWnd::LayoutStrip() {
    const QFontMetrics metrics(m_tabFont);
    const int textHeight = metrics.height();
    int top = 7 + (20 - textHeight) / 2;
    if (m_stripPosition == kBottom) {
        top = height() - top - textHeight;
    }
    int x = 0;
    for (TTabItem* item : m_items) {
        if (!item->m_visible) {
            item->m_left = item->m_right = 0;
            if (item->m_caption) {
                item->m_caption->hide();
            }
            continue;
        }
        const int w = item->m_caption
                          ? std::min(metrics.horizontalAdvance(item->m_caption->text()) + 4, kMaxTextWidth)
                          : 4;
        item->m_left = x;
        item->m_right = x + w + 6;
        if (item->m_caption) {
            item->m_caption->setFont(m_tabFont);
            item->m_caption->setGeometry(x + 3, top, w, textHeight);
            item->m_caption->show();
        }
        x += w + 6;
    }
}

void TTabWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_resizing) {
        ResizeChildren();
    }
    LayoutStrip();
}

void TTabWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int index = HitTest(event->position().toPoint());
        if (index >= 0) {
            SetActiveTab(index, true);
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void TTabWnd::paintEvent(QPaintEvent* /*event*/) {
    LayoutStrip();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int w = width();
    const int h = height();
    const bool top = m_stripPosition == kTop;

    const QRect area = top ? rect() : QRect(0, h - kStripHeight, w, kStripHeight);
    if (!m_background.isNull()) {
        painter.drawTiledPixmap(area, m_background);
    } else {
        painter.fillRect(area, m_face);
    }

    // Rectangles are given as in a top strip and mirrored row for row for a bottom one.
    auto fill = [&](int x, int y, int fw, int fh, const QColor& colour) {
        if (fw <= 0 || fh <= 0) {
            return;
        }
        painter.fillRect(x, top ? y : h - y - fh, fw, fh, colour);
    };

    fill(0, 25, w, 1, m_black);
    fill(0, 27, w, 1, m_highlight);

    const TTabItem* active = nullptr;
    for (int i = 0; i < GetTabCount(); ++i) {
        const TTabItem* item = m_items[static_cast<size_t>(i)];
        if (!item->m_visible) {
            continue;
        }
        if (i == m_activeTab) {
            active = item;
            continue;
        }
        const int x = item->m_left;
        const int tw = item->m_right - item->m_left - 6;
        fill(x, 6, tw + 6, 1, m_black);
        fill(x, 25, tw + 6, 1, m_black);
        fill(x, 6, 1, 20, m_black);
        fill(x + tw + 5, 6, 1, 20, m_black);
        fill(x + 1, 7, 1, 18, m_highlight);
        fill(x + 1, 7, tw + 4, 1, m_highlight);
        fill(x + tw + 4, 7, 1, 18, m_shadow);
        fill(x + 2, 8, tw + 2, 17, m_face);
    }
    if (active != nullptr) {
        // Drawn last and over the base line, so that it opens into the page.
        const int x = active->m_left;
        const int tw = active->m_right - active->m_left - 6;
        fill(x, 6, 1, 20, m_black);
        fill(x, 6, tw + 6, 1, m_black);
        fill(x + tw + 5, 6, 1, 21, m_black);
        fill(x + 1, 7, 2, 21, m_highlight);
        fill(x + 1, 7, tw + 3, 2, m_highlight);
        fill(x + tw + 3, 8, 2, 18, m_shadow);
        fill(x + 3, 9, tw, 20, m_face);
    }
}

}  // namespace nms
