#pragma once

#include "MessageStyle.h"
#include "PromptService.h"

#include <deque>
#include <vector>

// Answers prompts from a queue (OK once it runs dry) and keeps every prompt shown.
class ScriptedPrompts : public PromptService {
public:
    int Ask(QWidget*, const Prompt& prompt) override {
        shown.push_back(prompt);
        if (answers.empty())
            return id::OK;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<int> answers;
    std::vector<Prompt> shown;
};
