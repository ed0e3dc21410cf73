// The device pages by class name. The catalogue names each page's class as text; the window side turns a
// name into a page through this registry. Pages register in RegisterBuiltPages(), one line each: static
// self-registration would be dropped by the linker from a static library.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace nms {

class CFormTemplateView;

using PageFactory = std::function<CFormTemplateView*(QWidget* parent)>;

// Adds or replaces the factory of a page class.
void RegisterPage(const std::string& className, PageFactory factory);

template <class Page>
void RegisterPageClass(const std::string& className) {
    RegisterPage(className, [](QWidget* parent) -> CFormTemplateView* { return new Page(parent); });
}

// True when a real page of that class is built into the program.
bool IsPageRegistered(const std::string& className);
// The names of every registered class, sorted.
std::vector<std::string> RegisteredPageClasses();

// Makes a page of the class. A class that is not built yet gets a placeholder page that shows its class
// name and PageParam. Never null for a non-empty name.
CFormTemplateView* CreatePage(const std::string& className, QWidget* parent);

// Registers every real page class of the program. Idempotent; the main frame calls it before the first
// page is made.
void RegisterBuiltPages();

}  // namespace nms
