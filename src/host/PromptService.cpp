#include "PromptService.h"

#include "MessageStyle.h"
#include "StringTable.h"

#include <QMessageBox>

#include <cstdio>

PromptButtons ButtonsOfStyle(unsigned style) {
    switch (style & mb::kButtonMask) {
    case mb::OKCANCEL:
        return PromptButtons::OkCancel;
    case mb::YESNO:
        return PromptButtons::YesNo;
    case mb::YESNOCANCEL:
        return PromptButtons::YesNoCancel;
    default:
        return PromptButtons::Ok;
    }
}

bool WarningPrompt(const StringTable& texts, int templateId, Prompt& prompt) {
    if (templateId <= 0 || !texts.Has(static_cast<unsigned>(templateId)))
        return false;
    prompt.templateId = templateId;
    prompt.text = std::string(texts.Get(static_cast<unsigned>(templateId)));
    prompt.caption = "Tavel";
    prompt.buttons = PromptButtons::YesNo;
    prompt.icon = mb::ICONEXCLAMATION;
    return true;
}

int QtPromptService::Ask(QWidget* parent, const Prompt& prompt) {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(prompt.caption));
    box.setText(QString::fromStdString(prompt.text));
    switch (prompt.icon & mb::kIconMask) {
    case mb::ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case mb::ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case mb::ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case mb::ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (prompt.buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return id::OK;
    case QMessageBox::Yes:
        return id::YES;
    case QMessageBox::No:
        return id::NO;
    default:
        // Closing the box answers like its safest button.
        return prompt.buttons == PromptButtons::YesNo ? id::NO
               : prompt.buttons == PromptButtons::Ok  ? id::OK
                                                      : id::CANCEL;
    }
}

int ConsolePromptService::Ask(QWidget*, const Prompt& prompt) {
    ++count_;
    std::fprintf(stderr, "tavel: %s%s%s\n", prompt.caption.c_str(),
                 prompt.caption.empty() ? "" : ": ", prompt.text.c_str());
    switch (prompt.buttons) {
    case PromptButtons::Ok:
        return id::OK;
    case PromptButtons::YesNo:
        return id::NO;
    default:
        return id::CANCEL;
    }
}
