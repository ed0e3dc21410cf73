#include "app/page_registry.h"

#include <map>
#include <mutex>

namespace nms {

namespace {

std::map<std::string, PageFactory>& Factories() {
    static std::map<std::string, PageFactory> factories;
    return factories;
}

}  // namespace

void RegisterPage(const std::string& className, PageFactory factory) {
    Factories()[className] = std::move(factory);
}

bool IsPageRegistered(const std::string& className) {
    return Factories().count(className) != 0;
}

std::vector<std::string> RegisteredPageClasses() {
    std::vector<std::string> names;
    for (const auto& entry : Factories())
        names.push_back(entry.first);
    return names;
}

CFormTemplateView* CreatePage(const std::string& className, QWidget* parent) {
    auto it = Factories().find(className);
    if (it != Factories().end() && it->second)
        return it->second(parent);
    return nullptr;  // placeholder page follows once the page base is in
}

void RegisterBuiltPages() {
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per real page class:
        //   RegisterPageClass<CMuxChannelView>("CMuxChannelView");
    });
}

}  // namespace nms
