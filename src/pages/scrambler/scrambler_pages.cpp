#include "app/page_registry.h"
#include "pages/scrambler/qam4_sas_view.h"
#include "pages/scrambler/scramble_view.h"
#include "pages/scrambler/scrambler_qam_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterScramblerPages() {
    RegisterPageClass<Scrambler_qam>("Scrambler_qam");
    RegisterPageClass<CScrambleView>("CScrambleView");
    RegisterPageClass<Cqam4_sas>("Cqam4_sas");
}

}  // namespace nms
