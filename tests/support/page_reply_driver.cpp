#include "page_reply_driver.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <set>

#include "app/page_registry.h"
#include "devices/device_type_catalogue.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"

namespace nms::test {
namespace {

// Timers pages use: the wait, the polls.
constexpr int kTimerIds[] = {4, 66, 64, 2, 1};

// Closes any dialog a click opened, from inside its own event loop.
void CloseDialogs() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
}

}  // namespace

std::vector<std::pair<std::string, int>> AllPageVariants() {
    RegisterBuiltPages();
    std::set<std::pair<std::string, int>> seen;
    std::vector<std::pair<std::string, int>> out;
    auto add = [&](const std::string& name, int param) {
        if (IsPageRegistered(name) && seen.insert({name, param}).second)
            out.push_back({name, param});
    };
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& info = DeviceTypeAt(row);
        if (info.singleViewClass)
            add(info.singleViewClass, 0);
        for (int i = 0; i < info.pageCount; ++i)
            add(info.pages[i].pageClass, info.pages[i].pageParam);
    }
    for (const std::string& name : RegisteredPageClasses())
        if (std::none_of(out.begin(), out.end(), [&](const auto& v) { return v.first == name; }))
            add(name, 0);
    return out;
}

uint16_t TypeShowing(const std::string& name, int pageParam) {
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& info = DeviceTypeAt(row);
        if (info.singleViewClass && name == info.singleViewClass)
            return info.typeCode;
        for (int i = 0; i < info.pageCount; ++i)
            if (name == info.pages[i].pageClass && pageParam == info.pages[i].pageParam)
                return info.typeCode;
    }
    return 0x2101;
}

int DrivePage(size_t variant, const uint8_t* data, size_t size) {
    static const std::vector<std::pair<std::string, int>> variants = AllPageVariants();
    if (variants.empty())
        return 0;
    const auto& [name, pageParam] = variants[variant % variants.size()];
    PageFixture fx(TypeShowing(name, pageParam));
    std::unique_ptr<CFormTemplateView> page(CreatePage(name, nullptr));
    fx.Bind(page.get(), pageParam);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &CloseDialogs);
    closer.start(0);

    int done = 0;
    size_t at = 0;
    while (at + 2 <= size && done < 64) {
        const uint8_t op = data[at];
        const uint8_t arg = data[at + 1];
        at += 2;
        ++done;
        fx.TakeSentPacket();
        switch (op % 4) {
            case 0:
            case 1: {  // a reply: command, b, c, length, payload
                if (at + 3 > size)
                    return done;
                const uint8_t b = data[at], c = data[at + 1];
                const size_t length = std::min<size_t>(size_t(data[at + 2]) * 9, size - at - 3);
                at += 3;
                // Most replies answer what the page asked; the rest are any command.
                uint8_t command = arg;
                if (op % 4 == 0) {
                    if (auto sent = fx.PeekSentPacket())
                        command = sent->command;
                }
                fx.FeedReply(command, std::vector<uint8_t>(data + at, data + at + length), b, c);
                at += length;
                break;
            }
            case 2: {  // a click on a shown button
                std::vector<QPushButton*> buttons;
                for (QPushButton* b : page->findChildren<QPushButton*>())
                    if (b->isVisibleTo(page.get()) && b->isEnabled())
                        buttons.push_back(b);
                if (!buttons.empty())
                    buttons[arg % buttons.size()]->click();
                break;
            }
            case 3: {  // typed text into a shown field, or a timer
                std::vector<QLineEdit*> edits;
                for (QLineEdit* e : page->findChildren<QLineEdit*>())
                    if (e->isVisibleTo(page.get()) && !e->isReadOnly())
                        edits.push_back(e);
                if (arg & 1 || edits.empty()) {
                    fx.FireTimer(page.get(), kTimerIds[(arg >> 1) % std::size(kTimerIds)]);
                } else {
                    const size_t length = std::min<size_t>(arg >> 4, size - at);
                    edits[(arg >> 1) % edits.size()]->setText(
                        QString::fromLatin1(reinterpret_cast<const char*>(data + at), int(length)));
                    at += length;
                }
                break;
            }
        }
    }
    return done;
}

}  // namespace nms::test
