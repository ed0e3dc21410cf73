// Message boxes, confirmations and file choosers behind one interface, so that program logic can ask the
// operator without knowing about windows, and tests can answer in its place.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace nms {

// Button sets, icons and default button, with the values the program has always used.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};

// Answers.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct PromptRequest {
    std::string text;     // UTF-8
    std::string caption;  // empty: the application's title
    unsigned flags = MB_OK;
};

struct FileRequest {
    bool save = false;
    std::string caption;
    std::string filter;      // "Device list (*.db)|*.db|All files (*.*)|*.*"
    std::string defaultExt;  // without the dot
    std::string fileName;    // initial name or folder
};

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows a modal box and returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int Show(const PromptRequest& request) = 0;
    // Returns the chosen path, or an empty string when the operator cancelled.
    virtual std::string ChooseFile(const FileRequest& request) = 0;
};

// The prompt in use. Without one set, boxes answer IDOK / no file, so core logic never blocks.
IPrompt& Prompt();
// Installs a prompt (nullptr restores the default). The caller keeps ownership.
void SetPrompt(IPrompt* prompt);

// The usual call: "MessageBox(text, caption, flags)".
int ShowMessageBox(const std::string& text, const std::string& caption = std::string(), unsigned flags = MB_OK);
// "Confirm" box with OK and Cancel, a question icon and Cancel as default; true when OK.
bool Confirm(const std::string& text);

// A prompt for tests: records every box and answers from a queue (IDOK when the queue is empty).
class ScriptedPrompt : public IPrompt {
public:
    int Show(const PromptRequest& request) override;
    std::string ChooseFile(const FileRequest& request) override;

    std::vector<PromptRequest> shown;
    std::vector<FileRequest> fileRequests;
    std::vector<int> answers;             // consumed front first
    std::vector<std::string> fileAnswers; // consumed front first
    std::function<void(const PromptRequest&)> onShow;  // optional hook, runs before answering
};

// Installs a prompt for the lifetime of the object.
class ScopedPrompt {
public:
    explicit ScopedPrompt(IPrompt* prompt);
    ~ScopedPrompt();
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    IPrompt* m_previous;
};

}  // namespace nms
