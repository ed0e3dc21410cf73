// A push button drawn by the program: an icon beside or above its caption, a hover look while the mouse is
// over it, and an optional flat look with edges only on hover. The setup dialogs' OK and Cancel use it.
#pragma once

#include <QColor>
#include <QCursor>
#include <QPixmap>
#include <QPushButton>
#include <optional>

namespace nms {

// The picture of an icon resource id at the given size; null when the program has no such icon.
QPixmap LoadResourceIcon(int id, int width, int height);

class CIconButton : public QPushButton {
    Q_OBJECT
public:
    explicit CIconButton(QWidget* parent = nullptr);
    explicit CIconButton(const QString& text, QWidget* parent = nullptr);

    // Hover icon, normal icon (0: the hover icon in both states), size in pixels.
    void SetIcon(int hoverIconId, int normalIconId, int width, int height);
    void SetIcon(const QPixmap& hoverIcon, const QPixmap& normalIcon, int width, int height);

    void SetIconAlign(int align) {
        m_iconAlign = align;
        update();
    }  // 0 left of the caption, 1 above
    void SetDirectDraw(bool direct) { m_directDraw = direct; }
    void SetShowText(bool show) {
        m_showText = show;
        update();
    }
    void SetDrawBorder(bool draw) {
        m_drawBorder = draw;
        update();
    }
    void SetFlat(bool flat);
    void SetFlatFocus(bool flatFocus) {
        m_flatFocus = flatFocus;
        update();
    }
    void SetButtonCursor(const QCursor& cursor);

    // Colour setters: the "Set" ones take a colour, the "Reset" ones go back to the system colours.
    void SetNormalBackground(const QColor& c, bool repaint = true);
    void SetNormalText(const QColor& c, bool repaint = true);
    void SetHoverBackground(const QColor& c, bool repaint = true);
    void SetHoverText(const QColor& c, bool repaint = true);
    void ResetColors(bool repaint = true);

    bool IsHovered() const { return m_hovered; }
    bool IsFlatButton() const { return m_isFlat; }
    // The icon that a paint would draw now (hover icon while hovered or pressed).
    const QPixmap& CurrentIcon() const;

    // Hover tracking, also called by the event handlers. leftHeld: the left mouse button is down.
    void TrackMouse(const QPoint& pos, bool leftHeld);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Draw(QPainter& p, const QRect& area);
    void EndHover();

    int m_iconAlign = 0;
    bool m_directDraw = false;
    bool m_showText = true;
    bool m_drawBorder = true;
    bool m_isFlat = true;
    bool m_hovered = false;
    bool m_flatFocus = false;
    std::optional<QCursor> m_cursor;
    QPixmap m_hoverIcon;
    QPixmap m_normalIcon;
    uint8_t m_iconHeight = 0;
    uint8_t m_iconWidth = 0;
    QColor m_normalBack, m_normalFore, m_hoverBack, m_hoverFore;
};

}  // namespace nms
