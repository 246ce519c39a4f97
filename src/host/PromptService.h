#pragma once

// The one way the host asks the user something: every message box and every warning
// screen is a Prompt handed to the installed PromptService. The Qt service shows a
// QMessageBox; a test installs a responder that answers from a script.

#include <string>

class QWidget;
class StringTable;

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct Prompt {
    // Warning-screen template id, or 0 for a plain message box.
    int templateId = 0;
    std::string text;
    std::string caption;
    PromptButtons buttons = PromptButtons::Ok;
    // mb:: icon flags of the request.
    unsigned icon = 0;
};

class PromptService {
public:
    virtual ~PromptService() = default;
    // The answer: one of id::OK, id::CANCEL, id::YES, id::NO.
    virtual int Ask(QWidget* parent, const Prompt& prompt) = 0;
};

class QtPromptService : public PromptService {
public:
    int Ask(QWidget* parent, const Prompt& prompt) override;
};

// For runs without anyone at the screen (the self-test): writes each prompt to standard
// error and answers with the cautious choice (OK for a plain box, otherwise No or Cancel).
class ConsolePromptService : public PromptService {
public:
    int Ask(QWidget* parent, const Prompt& prompt) override;
    int Count() const { return count_; }

private:
    int count_ = 0;
};

// The buttons of an mb:: style.
PromptButtons ButtonsOfStyle(unsigned style);

// A warning screen by template id: its text is the string table's text of that id and its
// buttons are Yes and No (a warning always asks whether to go on). False when the table
// has no text for it.
bool WarningPrompt(const StringTable& texts, int templateId, Prompt& prompt);
