// One tab of a tab window: its page and the caption window shown in the strip.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QString>

namespace nms {

class TTabWnd;

class TTabItem {
public:
    static constexpr int kCaptionId = 0xFFFF;

    TTabItem(TTabWnd* owner, QWidget* page, const QString& title);
    ~TTabItem();
    TTabItem(const TTabItem&) = delete;
    TTabItem& operator=(const TTabItem&) = delete;

    QPointer<QWidget> m_page;
    QPointer<QLabel> m_caption;
    bool m_enabled = true;  // the page is enabled on activation only when set
    bool m_selectable = true;
    bool m_visible = true;
    int m_left = 0;  // recorded by the strip layout; right is one past the tab
    int m_right = 0;
    QIcon m_icon;
};

}  // namespace nms
