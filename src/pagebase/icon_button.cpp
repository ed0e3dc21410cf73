#include "pagebase/icon_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

#include "platform/resource_icons.h"

namespace nms {
namespace {

constexpr int kOkIcon = 153;
constexpr int kCancelIcon = 155;

// Stand-ins for the two dialog icons when the program's resources lack them.
QPixmap DrawBuiltinIcon(int id, int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = qMin(w, h);
    if (id == kOkIcon) {
        QPen pen(QColor(0x2E, 0x8B, 0x22), s / 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        QPainterPath path;
        path.moveTo(s * 0.18, s * 0.55);
        path.lineTo(s * 0.42, s * 0.78);
        path.lineTo(s * 0.84, s * 0.24);
        p.drawPath(path);
    } else if (id == kCancelIcon) {
        QPen pen(QColor(0xCC, 0x22, 0x22), s / 7.0, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(s * 0.24, s * 0.24), QPointF(s * 0.76, s * 0.76));
        p.drawLine(QPointF(s * 0.76, s * 0.24), QPointF(s * 0.24, s * 0.76));
    } else {
        return QPixmap();
    }
    return pm;
}

}  // namespace

QPixmap LoadResourceIcon(int id, int width, int height) {
    const QPixmap pm = PixmapById(id, qMax(width, height));
    if (!pm.isNull()) {
        return pm.size() == QSize(width, height)
                   ? pm
                   : pm.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return DrawBuiltinIcon(id, width, height);
}

CIconButton::CIconButton(QWidget* parent) : CIconButton(QString(), parent) {}

CIconButton::CIconButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    ResetColors(false);
}

void CIconButton::SetIcon(int hoverIconId, int normalIconId, int width, int height) {
    const QPixmap hover = LoadResourceIcon(hoverIconId, width, height);
    const QPixmap normal = normalIconId ? LoadResourceIcon(normalIconId, width, height) : QPixmap();
    SetIcon(hover, normal, width, height);
}

void CIconButton::SetIcon(const QPixmap& hoverIcon, const QPixmap& normalIcon, int width, int height) {
    m_hoverIcon = hoverIcon;
    m_normalIcon = normalIcon.isNull() ? hoverIcon : normalIcon;
    m_iconWidth = uint8_t(width);
    m_iconHeight = uint8_t(height);
    repaint();
}

void CIconButton::SetFlat(bool flat) {
    m_isFlat = flat;
    if (!flat)
        m_hovered = false;
    update();
}

void CIconButton::SetButtonCursor(const QCursor& cursor) {
    m_cursor = cursor;
    setCursor(cursor);
}

void CIconButton::SetNormalBackground(const QColor& c, bool repaint) {
    m_normalBack = c;
    if (repaint)
        update();
}
void CIconButton::SetNormalText(const QColor& c, bool repaint) {
    m_normalFore = c;
    if (repaint)
        update();
}
void CIconButton::SetHoverBackground(const QColor& c, bool repaint) {
    m_hoverBack = c;
    if (repaint)
        update();
}
void CIconButton::SetHoverText(const QColor& c, bool repaint) {
    m_hoverFore = c;
    if (repaint)
        update();
}

void CIconButton::ResetColors(bool repaint) {
    const QPalette pal = QApplication::palette(this);
    m_normalBack = m_hoverBack = pal.color(QPalette::Button);
    m_normalFore = m_hoverFore = pal.color(QPalette::ButtonText);
    if (repaint)
        update();
}

const QPixmap& CIconButton::CurrentIcon() const {
    return (m_hovered || isDown()) ? m_hoverIcon : m_normalIcon;
}

void CIconButton::TrackMouse(const QPoint& pos, bool leftHeld) {
    // A drag that began elsewhere does not light the button up.
    if (leftHeld && !m_hovered)
        return;
    if (!m_isFlat)
        return;
    const bool inside = rect().contains(pos);
    if (!m_hovered) {
        if (inside) {
            m_hovered = true;
            update();
        }
    } else if (!inside) {
        // While the left button is held Qt keeps delivering the mouse to this button until release.
        EndHover();
    }
}

void CIconButton::EndHover() {
    if (!m_hovered)
        return;
    m_hovered = false;
    update();
}

void CIconButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    TrackMouse(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void CIconButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    TrackMouse(event->position().toPoint(), QApplication::mouseButtons() & Qt::LeftButton);
}

void CIconButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    if (!(QApplication::mouseButtons() & Qt::LeftButton))
        EndHover();
}

void CIconButton::mouseReleaseEvent(QMouseEvent* event) {
    QPushButton::mouseReleaseEvent(event);
    // The held mouse ends here; a release outside ends the hover that moving out already cleared.
    if (!rect().contains(event->position().toPoint()))
        EndHover();
}

void CIconButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    EndHover();
}

void CIconButton::paintEvent(QPaintEvent*) {
    if (m_directDraw) {
        QPainter p(this);
        Draw(p, rect());
        return;
    }
    // Draw off-screen and copy in one step.
    QPixmap buffer(size() * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    buffer.fill(Qt::transparent);
    {
        QPainter bp(&buffer);
        Draw(bp, rect());
    }
    QPainter p(this);
    p.drawPixmap(0, 0, buffer);
}

void CIconButton::Draw(QPainter& p, const QRect& area) {
    const QPalette pal = palette();
    const bool pressed = isDown();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    QRect r = area;

    if (!m_isFlat && focused) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }

    p.fillRect(r, (m_hovered || pressed) ? m_hoverBack : m_normalBack);

    // Edges drawn as the classic two-tone lines: (top-left colour, bottom-right colour).
    auto edge = [&p](const QRect& e, const QColor& tl, const QColor& br) {
        p.setPen(tl);
        p.drawLine(e.left(), e.bottom(), e.left(), e.top());
        p.drawLine(e.left(), e.top(), e.right(), e.top());
        p.setPen(br);
        p.drawLine(e.right(), e.top(), e.right(), e.bottom());
        p.drawLine(e.right(), e.bottom(), e.left(), e.bottom());
    };
    if (pressed) {
        if (!m_isFlat) {
            p.setPen(pal.color(QPalette::Dark));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        } else if (m_drawBorder) {
            edge(r, pal.color(QPalette::Shadow), pal.color(QPalette::Light));
        }
    } else if (!m_isFlat) {
        edge(r, pal.color(QPalette::Light), pal.color(QPalette::Shadow));
        edge(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Midlight), pal.color(QPalette::Dark));
    } else if (m_hovered && m_drawBorder) {
        edge(r, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    }

    const int shift = pressed ? 1 : 0;
    QRect textArea = r;
    const QPixmap& icon = CurrentIcon();
    if (!icon.isNull()) {
        const int iw = m_iconWidth ? m_iconWidth : icon.width();
        const int ih = m_iconHeight ? m_iconHeight : icon.height();
        QRect iconRect;
        if (!m_showText || text().isEmpty()) {
            iconRect = QRect(r.left() + (r.width() - iw) / 2, r.top() + (r.height() - ih) / 2, iw, ih);
        } else if (m_iconAlign == 0) {
            iconRect = QRect(r.left() + 3, r.top() + (r.height() - ih) / 2, iw, ih);
            textArea.setLeft(r.left() + iw + 3);
        } else {
            iconRect = QRect(r.left() + (r.width() - iw) / 2, r.top() + 3, iw, ih);
            textArea.setTop(r.top() + ih + 3);
        }
        iconRect.translate(shift, shift);
        if (disabled) {
            p.drawPixmap(iconRect, QIcon(icon).pixmap(iconRect.size(), QIcon::Disabled));
        } else {
            p.drawPixmap(iconRect, icon);
        }
    }

    if (m_showText && !text().isEmpty()) {
        p.setFont(font());
        p.setPen(disabled ? pal.color(QPalette::Disabled, QPalette::ButtonText)
                          : ((m_hovered || pressed) ? m_hoverFore : m_normalFore));
        p.drawText(textArea.translated(shift, shift), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }

    if (focused && (!m_isFlat || m_flatFocus)) {
        QPen pen(pal.color(QPalette::WindowText), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

}  // namespace nms
