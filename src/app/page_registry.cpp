#include "app/page_registry.h"

#include <map>
#include <mutex>

#include "pagebase/placeholder_page.h"
#include "pages/mux/mux_channel2_view.h"
#include "pages/mux/mux_channel_view.h"
#include "pages/mux/mux_ip_view.h"
#include "pages/mux/mux_misc_view.h"
#include "pages/mux/mux_monitor_view.h"
#include "pages/mux/mux_pid_filter_view.h"
#include "pages/mux/mux_pid_forward_view.h"
#include "pages/mux/mux_pid_forward_view1.h"
#include "pages/mux/pid_monitor_view.h"
#include "pages/mux/qam16_view.h"
#include "pages/psi/mux_nit_edit_view.h"
#include "pages/psi/mux_psi_view.h"

namespace nms {

void RegisterEncoderPages();
void RegisterModulatorPages();
void RegisterReceiverPages();
void RegisterIrdPages();
void RegisterScramblerPages();

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
    if (className.empty())
        return nullptr;
    return new CPlaceholderPage(className, parent);
}

void RegisterBuiltPages() {
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per real page class.
        RegisterPageClass<CMuxChannelView>("CMuxChannelView");
        RegisterPageClass<CMuxMiscView>("CMuxMiscView");
        RegisterPageClass<CMuxMonitorView>("CMuxMonitorView");
        RegisterPageClass<CMuxPsiView>("CMuxPsiView");
        RegisterPageClass<CMuxNitEditView>("CMuxNitEditView");
        RegisterPageClass<Cmuxip>("Cmuxip");
        RegisterPageClass<Cqam16>("Cqam16");
        RegisterPageClass<Cmuxchannel2>("Cmuxchannel2");
        RegisterPageClass<CMuxPidForwardView>("CMuxPidForwardView");
        RegisterPageClass<CMuxPidForwardView1>("CMuxPidForwardView1");
        RegisterPageClass<CMuxPidFilterView>("CMuxPidFilterView");
        RegisterPageClass<CpidMonitor>("CpidMonitor");
        // The parameter-block families register their own pages.
        RegisterEncoderPages();
        RegisterModulatorPages();
        RegisterReceiverPages();
        RegisterIrdPages();
        RegisterScramblerPages();
    });
}

}  // namespace nms
