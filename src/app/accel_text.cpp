#include "app/accel_text.h"

#include <QKeySequence>

namespace nms {

namespace {

constexpr uint16_t kEscapeChar = 27;

int QtKeyOf(uint16_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        return vk;  // Qt uses the same codes for these
    }
    if (vk >= 0x70 && vk <= 0x87) {
        return Qt::Key_F1 + (vk - 0x70);
    }
    struct Entry {
        uint16_t vk;
        int key;
    };
    static const Entry kTable[] = {
        {0x08, Qt::Key_Backspace},   {0x09, Qt::Key_Tab},        {0x0D, Qt::Key_Return},
        {0x13, Qt::Key_Pause},       {0x14, Qt::Key_CapsLock},   {0x1B, Qt::Key_Escape},
        {0x20, Qt::Key_Space},       {0x21, Qt::Key_PageUp},     {0x22, Qt::Key_PageDown},
        {0x23, Qt::Key_End},         {0x24, Qt::Key_Home},       {0x25, Qt::Key_Left},
        {0x26, Qt::Key_Up},          {0x27, Qt::Key_Right},      {0x28, Qt::Key_Down},
        {0x2C, Qt::Key_Print},       {0x2D, Qt::Key_Insert},     {0x2E, Qt::Key_Delete},
        {0x90, Qt::Key_NumLock},     {0x91, Qt::Key_ScrollLock}, {0xBA, Qt::Key_Semicolon},
        {0xBB, Qt::Key_Equal},       {0xBC, Qt::Key_Comma},      {0xBD, Qt::Key_Minus},
        {0xBE, Qt::Key_Period},      {0xBF, Qt::Key_Slash},      {0xC0, Qt::Key_QuoteLeft},
        {0xDB, Qt::Key_BracketLeft}, {0xDC, Qt::Key_Backslash},  {0xDD, Qt::Key_BracketRight},
        {0xDE, Qt::Key_Apostrophe},
    };
    for (const Entry& e : kTable) {
        if (e.vk == vk) {
            return e.key;
        }
    }
    return 0;
}

}  // namespace

QString CAccelText::KeyName(uint16_t virtualKey) {
    // The keypad keys carry the "Num" prefix the key names have always had.
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        return QStringLiteral("Num %1").arg(virtualKey - 0x60);
    }
    static const char kKeypadOps[] = {'*', '+', 0, '-', '.', '/'};
    if (virtualKey >= 0x6A && virtualKey <= 0x6F && kKeypadOps[virtualKey - 0x6A] != 0) {
        return QStringLiteral("Num %1").arg(QChar(kKeypadOps[virtualKey - 0x6A]));
    }
    const int key = QtKeyOf(virtualKey);
    if (key == 0) {
        return QString();
    }
    return QKeySequence(key).toString(QKeySequence::PortableText);
}

QString CAccelText::GetText() const {
    QString text;
    if (m_flags & FCONTROL) {
        text += QStringLiteral("Ctrl+");
    }
    if (m_flags & FSHIFT) {
        text += QStringLiteral("Shift+");
    }
    if (m_flags & FALT) {
        text += QStringLiteral("Alt+");
    }
    if (m_flags & FVIRTKEY) {
        text += KeyName(m_key);
    } else if (m_key != kEscapeChar) {
        text += QChar(m_key);
    }
    return text;
}

}  // namespace nms
