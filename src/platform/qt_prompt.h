// The prompt of the running program: Qt message boxes and file dialogs.
#pragma once

#include "platform/prompt.h"

class QWidget;

namespace nms {

class QtPrompt : public IPrompt {
public:
    int Show(const PromptRequest& request) override;
    std::string ChooseFile(const FileRequest& request) override;
};

}  // namespace nms
