#include "framework/tab_item.h"

#include "framework/tab_wnd.h"

namespace nms {

TTabItem::TTabItem(TTabWnd* owner, QWidget* page, const QString& title)
    : m_page(page), m_caption(new QLabel(title, owner)) {
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setProperty(TTabWnd::kControlIdProperty, kCaptionId);
    // Clicks on the caption belong to the strip.
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_caption->show();
}

TTabItem::~TTabItem() {
    delete m_caption.data();
}

}  // namespace nms
