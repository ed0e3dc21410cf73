#include "platform/prompt.h"

#include <atomic>

namespace nms {
namespace {

class SilentPrompt : public IPrompt {
public:
    int Show(const PromptRequest& request) override {
        const unsigned buttons = request.flags & 0xF;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    }
    std::string ChooseFile(const FileRequest&) override { return {}; }
};

SilentPrompt g_silent;
std::atomic<IPrompt*> g_prompt{nullptr};

}  // namespace

IPrompt& Prompt() {
    IPrompt* p = g_prompt.load();
    return p ? *p : g_silent;
}

void SetPrompt(IPrompt* prompt) { g_prompt.store(prompt); }

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return Prompt().Show(PromptRequest{text, caption, flags});
}

bool Confirm(const std::string& text) {
    return ShowMessageBox(text, "Confirm", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

int ScriptedPrompt::Show(const PromptRequest& request) {
    shown.push_back(request);
    if (onShow) onShow(request);
    if (answers.empty()) return IDOK;
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
}

std::string ScriptedPrompt::ChooseFile(const FileRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return {};
    std::string a = fileAnswers.front();
    fileAnswers.erase(fileAnswers.begin());
    return a;
}

ScopedPrompt::ScopedPrompt(IPrompt* prompt) : m_previous(g_prompt.load()) { SetPrompt(prompt); }
ScopedPrompt::~ScopedPrompt() { SetPrompt(m_previous); }

}  // namespace nms
