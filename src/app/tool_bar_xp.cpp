#include "app/tool_bar_xp.h"

#include <QActionEvent>
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolButton>

namespace nms {

namespace {

const CToolBarXP* ToolBarXPOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (const auto* bar = qobject_cast<const CToolBarXP*>(w)) {
            return bar;
        }
    }
    return nullptr;
}

bool OnToolBarXP(const QWidget* widget) {
    return ToolBarXPOf(widget) != nullptr;
}

void FillBar(QPainter* painter, const QRect& rect, const QWidget* widget) {
    const CToolBarXP* bar = ToolBarXPOf(widget);
    if (bar != nullptr && !bar->BandBackground().isNull()) {
        painter->drawTiledPixmap(rect, bar->BandBackground(), rect.topLeft());
    } else {
        painter->fillRect(rect, CToolBarXP::kBackground);
    }
}

class ToolBarXPStyle : public QProxyStyle {
public:
    static ToolBarXPStyle* Instance() {
        static QPointer<ToolBarXPStyle> style;
        if (style == nullptr) {
            style = new ToolBarXPStyle();
            style->setParent(qApp);
        }
        return style;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (OnToolBarXP(widget)) {
            switch (element) {
                case PE_PanelButtonTool: {
                    const bool lit =
                        (option->state & State_Enabled) &&
                        (option->state & (State_MouseOver | State_Raised | State_On | State_Sunken));
                    if (lit) {
                        painter->save();
                        painter->fillRect(option->rect, CToolBarXP::kHotFill);
                        painter->setPen(CToolBarXP::kFramePen);
                        painter->setBrush(Qt::NoBrush);
                        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
                        painter->restore();
                    }
                    return;
                }
                case PE_FrameButtonTool:
                    return;  // no edges
                case PE_PanelToolBar:
                    FillBar(painter, option->rect, widget);
                    return;
                default:
                    break;
            }
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_ToolBar && OnToolBarXP(widget)) {
            FillBar(painter, option->rect, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    ToolBarXPStyle() = default;
};

}  // namespace

CToolBarXP::CToolBarXP(QWidget* parent) : CToolBarXP(QString(), parent) {}

CToolBarXP::CToolBarXP(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setStyle(ToolBarXPStyle::Instance());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::Button, kBackground);
    setPalette(pal);
}

void CToolBarXP::SetBandBackground(const QPixmap& bitmap) {
    m_bandBackground = bitmap;
    update();
}

void CToolBarXP::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    // A widget's own style does not pass to its children: every button takes the bar's.
    if (event->type() == QEvent::ActionAdded) {
        if (QWidget* button = widgetForAction(event->action())) {
            button->setStyle(style());
        }
    }
}

}  // namespace nms
