#include "app/menu_xp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace nms {

namespace {

constexpr const char* kBreakProperty = "nmsMenuBreak";

// Hands the measuring and drawing of CMenuXP items to the menu that holds them.
class MenuXPStyle : public QProxyStyle {
public:
    static MenuXPStyle* Instance() {
        static QPointer<MenuXPStyle> style;
        if (style == nullptr) {
            style = new MenuXPStyle();
            style->setParent(qApp);
        }
        return style;
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_MenuItem) {
            const auto* menu = qobject_cast<const CMenuXP*>(widget);
            const CMenuXPItem* item =
                menu != nullptr ? menu->ItemOf(qobject_cast<QAction*>(option->styleObject)) : nullptr;
            if (item != nullptr) {
                // The platform adds the check-mark column to what the item reports. QMenu drops a row of
                // no width, so a separator keeps one pixel (rows take the column's width anyway).
                const QSize measured = menu->MeasureItem(*item);
                return QSize(std::max(1, measured.width() + CMenuXP::CheckMarkSize().width() - 1),
                             measured.height());
            }
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        auto* menu = qobject_cast<CMenuXP*>(const_cast<QWidget*>(widget));
        if (menu != nullptr && element == CE_MenuItem) {
            const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            const CMenuXPItem* item =
                opt != nullptr ? menu->ItemOf(qobject_cast<QAction*>(opt->styleObject)) : nullptr;
            if (item != nullptr) {
                CMenuXP::ItemState state;
                state.selected = (opt->state & State_Selected) != 0;
                state.enabled = (opt->state & State_Enabled) != 0;
                state.checked = opt->checkType != QStyleOptionMenuItem::NotCheckable && opt->checked;
                state.isDefault = opt->menuItemType == QStyleOptionMenuItem::DefaultItem;
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing, false);
                menu->DrawItem(*painter, opt->rect, *item, state);
                painter->restore();
                return;
            }
        }
        if (menu != nullptr && element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, menu->m_clrBackground);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (const auto* menu = qobject_cast<const CMenuXP*>(widget)) {
            if (element == PE_PanelMenu) {
                painter->fillRect(option->rect, menu->m_clrBackground);
                return;
            }
            if (element == PE_FrameMenu) {
                painter->save();
                painter->setPen(option->palette.color(QPalette::Dark));
                painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
                painter->restore();
                return;
            }
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (qobject_cast<const CMenuXP*>(widget) != nullptr) {
            switch (metric) {
                case PM_MenuPanelWidth:
                    return 1;
                case PM_MenuHMargin:
                    return 0;
                case PM_MenuVMargin:
                    return 1;
                default:
                    break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    MenuXPStyle() = default;
};

bool HasMnemonic(const QString& text, QChar ch) {
    const QChar wanted = ch.toLower();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;  // a literal ampersand
                continue;
            }
            return text[i + 1].toLower() == wanted;
        }
    }
    return false;
}

}  // namespace

CMenuXP::CMenuXP(QWidget* parent) : QMenu(parent) {
    const QPalette pal = QApplication::palette("QMenu");
    m_font = QApplication::font("QMenu");
    m_clrBackground = pal.color(QPalette::Window);
    m_clrSelected = pal.color(QPalette::Highlight);
    m_clrText = pal.color(QPalette::WindowText);
    m_clrSelectedText = pal.color(QPalette::HighlightedText);
    m_clrDisabledText = pal.color(QPalette::Disabled, QPalette::WindowText);
    m_clrIconColumn = m_clrBackground;
    setFont(m_font);
    setSeparatorsCollapsible(false);  // a separator stays where it was put
    setStyle(MenuXPStyle::Instance());
}

CMenuXP::~CMenuXP() {
    for (QPointer<CMenuXP>& sub : m_subMenus) {
        delete sub.data();
    }
    for (auto& [action, item] : m_items) {
        if (item->m_magic == CMenuXPItem::kMagic) {
            delete item;
        }
    }
}

QSize CMenuXP::CheckMarkSize() {
    const QStyle* style = QApplication::style();
    return QSize(style->pixelMetric(QStyle::PM_IndicatorWidth),
                 style->pixelMetric(QStyle::PM_IndicatorHeight));
}

unsigned CMenuXP::TakeBreaks() {
    unsigned breaks = 0;
    if (m_pendingColumnBreak) {
        breaks |= MF_MENUBARBREAK;
    }
    if (m_pendingMenuBreak) {
        breaks |= MF_MENUBREAK;
    }
    m_pendingColumnBreak = false;
    m_pendingMenuBreak = false;
    return breaks;
}

unsigned CMenuXP::BreakOf(const QAction* action) {
    return action != nullptr ? action->property(kBreakProperty).toUInt() : 0;
}

QAction* CMenuXP::AppendMenuItem(unsigned flags, CMenuXPItem* item, const CAccelText* accel) {
    if (item == nullptr) {
        return nullptr;
    }
    flags |= MF_OWNERDRAW | TakeBreaks();
    item->SetText(item->m_text);  // callers may have filled the text directly
    if (accel != nullptr) {
        const QString text = accel->GetText();
        if (!text.isEmpty()) {
            item->SetText(item->m_text + QLatin1Char('\t') + text);
        }
    }
    auto* action = new QAction(this);
    // QMenu sees only the part before the tab (for mnemonics); the record keeps the whole text for drawing.
    action->setText(item->m_text.section(QLatin1Char('\t'), 0, 0));
    action->setIcon(item->m_icon);
    action->setData(item->m_id);
    action->setProperty(kBreakProperty, flags & (MF_MENUBARBREAK | MF_MENUBREAK));
    if ((flags & MF_SEPARATOR) || item->m_separator) {
        item->m_separator = 1;
        action->setSeparator(true);
    }
    action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
    if (flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    m_items[action] = item;
    if (item->m_sideBar) {
        // The side bar is no row of its own: it is the strip left of all rows.
        action->setVisible(false);
        m_sideBar = item;
        setContentsMargins(item->m_iconSize + 3, 0, 0, 0);
    }
    addAction(action);
    if (flags & MF_DEFAULT) {
        setDefaultAction(action);
    }
    return action;
}

QAction* CMenuXP::AppendPopup(unsigned flags, QMenu* popup, CMenuXPItem* item) {
    if (popup == nullptr || item == nullptr) {
        return nullptr;
    }
    QAction* action = AppendMenuItem(flags | MF_POPUP, item);
    action->setMenu(popup);
    if (auto* sub = qobject_cast<CMenuXP*>(popup)) {
        m_subMenus.emplace_back(sub);
    }
    return action;
}

QAction* CMenuXP::AppendPopup(unsigned flags, QMenu* popup, const QString& text) {
    if (popup == nullptr) {
        return nullptr;
    }
    return AppendPopup(flags, popup, new CMenuXPItem(0, QIcon(), text));
}

CMenuXPItem* CMenuXP::ItemOf(const QAction* action) const {
    const auto it = m_items.find(action);
    if (it == m_items.end() || it->second->m_magic != CMenuXPItem::kMagic) {
        return nullptr;
    }
    return it->second;
}

int CMenuXP::OnMenuChar(QChar ch, int* position) const {
    const QList<QAction*> list = actions();
    std::vector<int> matches;
    for (int i = 0; i < list.size(); ++i) {
        const CMenuXPItem* item = ItemOf(list[i]);
        const QString text = item != nullptr ? item->m_text : list[i]->text();
        if (!list[i]->isSeparator() && list[i]->isVisible() && HasMnemonic(text, ch)) {
            matches.push_back(i);
        }
    }
    if (matches.empty()) {
        return MNC_IGNORE;
    }
    if (matches.size() == 1) {
        *position = matches.front();
        return MNC_EXECUTE;
    }
    const int current = list.indexOf(activeAction());
    *position = matches.front();
    for (int index : matches) {
        if (index > current) {
            *position = index;
            break;
        }
    }
    return MNC_SELECT;
}

void CMenuXP::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool plainChar = text.size() == 1 && text[0].isPrint() && !text[0].isSpace() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!plainChar) {
        QMenu::keyPressEvent(event);
        return;
    }
    int position = -1;
    switch (OnMenuChar(text[0], &position)) {
        case MNC_EXECUTE: {
            setActiveAction(actions().at(position));
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QMenu::keyPressEvent(&enter);
            break;
        }
        case MNC_SELECT:
            setActiveAction(actions().at(position));
            break;
        default:
            QApplication::beep();
            break;
    }
    event->accept();
}

void CMenuXP::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    // Lets the style find the item record of the row it measures or draws.
    option->styleObject = const_cast<QAction*>(action);
}

void CMenuXP::paintEvent(QPaintEvent* event) {
    QMenu::paintEvent(event);
    if (m_sideBar != nullptr && m_sideBar->m_magic == CMenuXPItem::kMagic) {
        QPainter painter(this);
        const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
        DrawSideBar(painter, QRect(frame, frame, m_sideBar->m_iconSize + 3, height() - 2 * frame),
                    *m_sideBar);
    }
}

void CMenuXP::SetMenuStyle(int style) {
    m_style = style == kStyleXP ? kStyleXP : kStylePlain;
    update();
}

int CMenuXP::TextWidth(const QString& text) const {
    const QFontMetrics metrics(m_font);
    return metrics
        .boundingRect(QRect(0, 0, 10000, 1000),
                      Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic, text)
        .width();
}

QSize CMenuXP::MeasureItem(const CMenuXPItem& item) const {
    int width = 0;
    int height = 0;
    if (item.m_sideBar) {
        width = item.m_iconSize;
    } else if (item.m_separator) {
        height = CheckMarkSize().height() / 2;
    } else {
        height = std::max(item.m_iconSize + 4, QFontMetrics(m_font).height());
        width = item.m_iconOnly ? height : 2 * item.m_iconSize + TextWidth(item.m_text) + 12;
    }
    width -= CheckMarkSize().width() - 1;
    return QSize(width, height);
}

void CMenuXP::DrawItem(QPainter& painter, const QRect& rect, const CMenuXPItem& item,
                       const ItemState& state) {
    if (item.m_magic != CMenuXPItem::kMagic) {
        return;
    }
    if (item.m_sideBar) {
        DrawSideBar(painter, QRect(rect.left(), rect.top(), item.m_iconSize + 3, rect.height()), item);
        return;
    }
    if (item.m_separator) {
        DrawBackground(painter, rect, item, ItemState{});
        if (m_style == kStyleXP) {
            DrawIconColumn(painter, rect, item);
        }
        const int y = rect.top() + rect.height() / 2;
        painter.fillRect(QRect(rect.left(), y - 1, rect.width(), 1), palette().color(QPalette::Dark));
        painter.fillRect(QRect(rect.left(), y, rect.width(), 1), palette().color(QPalette::Light));
        return;
    }
    DrawBackground(painter, rect, item, state);
    const bool selectedLook = state.selected && (m_style != kStyleXP || state.enabled);
    if (m_style == kStyleXP && !selectedLook) {
        DrawIconColumn(painter, rect, item);
    }
    const int size = item.m_iconSize;
    const QRect iconRect = item.m_iconOnly
                               ? QRect(rect.left() + (rect.width() - size) / 2,
                                       rect.top() + (rect.height() - size) / 2, size, size)
                               : QRect(rect.left() + 2, rect.top() + (rect.height() - size) / 2, size, size);
    if (!item.m_icon.isNull() || state.checked) {
        DrawIconFrame(painter, iconRect, state);
    }
    if (!item.m_icon.isNull()) {
        DrawIcon(painter, iconRect, item, state);
    } else if (state.checked) {
        DrawCheckMark(painter, iconRect, state);
    }
    if (!item.m_iconOnly) {
        DrawText(painter, rect, item, state);
    }
    if (m_style == kStyleXP && selectedLook) {
        DrawSelectionFrame(painter, rect);
    }
}

void CMenuXP::DrawBackground(QPainter& painter, const QRect& rect, const CMenuXPItem& /*item*/,
                             const ItemState& state) {
    const bool selectedLook = state.selected && (m_style != kStyleXP || state.enabled);
    painter.fillRect(rect, selectedLook ? m_clrSelected : m_clrBackground);
}

void CMenuXP::DrawIconColumn(QPainter& painter, const QRect& rect, const CMenuXPItem& item) {
    painter.fillRect(QRect(rect.left(), rect.top(), item.m_iconSize + 4, rect.height()), m_clrIconColumn);
}

void CMenuXP::DrawIconFrame(QPainter& painter, const QRect& iconRect, const ItemState& state) {
    if (!state.checked && !state.selected) {
        return;
    }
    // Checked items sit sunken, highlighted ones raised.
    const QRect frame = iconRect.adjusted(-1, -1, 1, 1);
    const QColor topLeft = palette().color(state.checked ? QPalette::Dark : QPalette::Light);
    const QColor bottomRight = palette().color(state.checked ? QPalette::Light : QPalette::Dark);
    painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), topLeft);
    painter.fillRect(QRect(frame.left(), frame.top(), 1, frame.height()), topLeft);
    painter.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), bottomRight);
    painter.fillRect(QRect(frame.right(), frame.top(), 1, frame.height()), bottomRight);
}

void CMenuXP::DrawIcon(QPainter& painter, const QRect& iconRect, const CMenuXPItem& item,
                       const ItemState& state) {
    const QPixmap pixmap = item.m_icon.pixmap(iconRect.size(), devicePixelRatio(),
                                              state.enabled ? QIcon::Normal : QIcon::Disabled);
    painter.drawPixmap(iconRect, pixmap);
}

void CMenuXP::DrawCheckMark(QPainter& painter, const QRect& iconRect, const ItemState& state) {
    painter.save();
    painter.setPen(
        QPen(state.enabled ? (state.selected ? m_clrSelectedText : m_clrText) : m_clrDisabledText, 2));
    const QPoint c = iconRect.center();
    const QPoint points[] = {c + QPoint(-4, 0), c + QPoint(-1, 3), c + QPoint(4, -3)};
    painter.drawPolyline(points, 3);
    painter.restore();
}

void CMenuXP::DrawSideBar(QPainter& painter, const QRect& rect, const CMenuXPItem& item) {
    constexpr int kSteps = 256;
    // From the first colour at the bottom to the second at the top, in 256 bands.
    for (int i = 0; i < kSteps; ++i) {
        const int top = rect.top() + rect.height() * (kSteps - 1 - i) / kSteps;
        const int bottom = rect.top() + rect.height() * (kSteps - i) / kSteps;
        if (bottom <= top) {
            continue;
        }
        const QColor colour(
            m_clrSideBarStart.red() + (m_clrSideBarEnd.red() - m_clrSideBarStart.red()) * i / kSteps,
            m_clrSideBarStart.green() + (m_clrSideBarEnd.green() - m_clrSideBarStart.green()) * i / kSteps,
            m_clrSideBarStart.blue() + (m_clrSideBarEnd.blue() - m_clrSideBarStart.blue()) * i / kSteps);
        painter.fillRect(QRect(rect.left(), top, rect.width(), bottom - top), colour);
    }
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.translate(rect.left() + 2, rect.bottom() - 4);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, rect.height(), rect.width()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item.m_text);
    painter.restore();
}

void CMenuXP::DrawText(QPainter& painter, const QRect& rect, const CMenuXPItem& item,
                       const ItemState& state) {
    const int inset = item.m_iconSize + 6;
    const QRect textRect = rect.adjusted(inset, 0, -inset, 0);
    const QString left = item.m_text.section(QLatin1Char('\t'), 0, 0);
    const QString accel = item.m_text.section(QLatin1Char('\t'), 1);
    QFont font = m_font;
    if (state.isDefault) {
        font.setWeight(QFont::Bold);
    }
    painter.save();
    painter.setFont(font);
    auto draw = [&](const QRect& r, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
                         left);
        if (!accel.isEmpty()) {
            painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, accel);
        }
    };
    if (!state.enabled) {
        if (!state.selected || m_style == kStyleXP) {
            draw(textRect.translated(1, 1), m_clrSelectedText);
        }
        draw(textRect, m_clrDisabledText);
    } else {
        draw(textRect, state.selected ? m_clrSelectedText : m_clrText);
    }
    painter.restore();
}

void CMenuXP::DrawSelectionFrame(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

}  // namespace nms
