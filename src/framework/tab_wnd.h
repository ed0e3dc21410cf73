// A window with a 30-pixel strip of tabs above or below its page area; one page window per tab, of which
// only the active one is shown and enabled.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <vector>

#include "framework/tab_item.h"

namespace nms {

class TSplitterWnd;
struct TViewClass;

class TTabWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstPageId = 13576;
    static constexpr int kTabWndId = 9592;
    static constexpr int kStripHeight = 30;
    static constexpr int kMaxTextWidth = 200;
    static constexpr int kBackgroundBitmap = 134;
    // Stands in for a window's control id: the dynamic property that holds it.
    static constexpr const char* kControlIdProperty = "nmsControlId";

    enum Position { kTop = 0, kBottom = 1 };

    explicit TTabWnd(QWidget* parent = nullptr);
    ~TTabWnd() override;

    // Moves every page into the page area; -1, -1 takes the size of the window itself.
    virtual void ResizeChildren(int width = -1, int height = -1);
    // Puts a built splitter into a new tab. Refused (null) when the grid cannot be made.
    virtual TTabItem* AddSplitterTab(const QString& title, int rows, int columns, TSplitterWnd* splitter,
                                     int id);
    // Creates a page of the class in a new tab at the end; the page starts hidden and disabled.
    virtual TTabItem* AddViewTab(const QString& title, const TViewClass& viewClass);
    virtual int HitTest(const QPoint& point) const;
    virtual int HitTest(int x, int y) const;
    virtual bool SetActiveTab(int index, bool activateView);
    virtual bool CanChangeTab(QWidget* oldPage, QWidget* newPage);
    virtual void OnTabChanged(QWidget* oldPage, QWidget* newPage);

    // Takes the page's tab out of the strip (the page itself is left alone); returns the active index, or 0
    // when the page has no tab.
    int RemoveTab(QWidget* page);
    int GetActiveTab() const { return m_activeTab; }
    int GetTabCount() const { return static_cast<int>(m_items.size()); }
    int FindTab(const QWidget* page) const;
    QWidget* GetTabWnd(int index) const;
    TTabItem* GetTabItem(int index) const;
    void ShowTab(int index, bool show);
    void SetTabPosition(int position);
    int GetTabPosition() const { return m_stripPosition; }
    const QFont& GetTabFont() const { return m_tabFont; }

    // The view that activation of a page means: the page itself, or inside a splitter or tab window the
    // active (else first) view found there.
    static QWidget* FindViewIn(QWidget* page);

    QSize sizeHint() const override { return QSize(400, 300); }
    QSize minimumSizeHint() const override { return QSize(0, kStripHeight + 2); }

signals:
    // A tab was activated with "activate view": the frame makes this view its active view.
    void viewActivated(QWidget* view);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LayoutStrip();
    void InvalidateStrip();
    QRect PageRect(int width, int height) const;

    QColor m_black;
    QColor m_face;
    QColor m_highlight;
    QColor m_shadow;
    QFont m_tabFont;
    QPixmap m_background;
    std::vector<TTabItem*> m_items;
    int m_activeTab = -1;
    bool m_resizing = false;
    int m_stripPosition = kBottom;
};

}  // namespace nms
