#pragma once

// The scan screens' host: the screens fixture's host with scripted message-box answers
// and a record of every sound, update and refresh the screens send; sub-screens are
// answered by the test through the sub-screen runner.

#include "ScreensFixture.h"
#include "WSIInvScanDialog.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

class ScanHost : public ScreensHost {
public:
    std::deque<int> boxAnswers; // scripted; otherwise YES to a question, else OK
    std::vector<SoundKind> sounds;
    std::vector<std::pair<int, long>> updates;
    std::vector<std::pair<int, long>> refreshes;

    int MessageBox(WSIWindow* w, const char* text, const char* caption, unsigned style) override {
        ScreensHost::MessageBox(w, text, caption, style);
        if (!boxAnswers.empty()) {
            const int a = boxAnswers.front();
            boxAnswers.pop_front();
            return a;
        }
        return (style & 0xF) == mb::YESNO || (style & 0xF) == mb::YESNOCANCEL ? id::YES : id::OK;
    }
    long SendMainWindowMessage(unsigned msg, void* param) override {
        if (msg == hostmsg::kPlaySound) {
            sounds.push_back(
                static_cast<SoundKind>(static_cast<int>(reinterpret_cast<std::intptr_t>(param))));
            return 1;
        }
        return ScreensHost::SendMainWindowMessage(msg, param);
    }
    void NotifyUpdate(int source, long id) override { updates.emplace_back(source, id); }
    void ProductRefresh(int source, long product) override {
        refreshes.emplace_back(source, product);
    }
    // Serves the module for one test on database: what the last test recorded forgotten,
    // product codes from 6 characters on.
    void Attach(WSIDatabase* database) {
        db = database;
        boxes.clear();
        boxAnswers.clear();
        warnings.clear();
        warnAnswers.clear();
        sounds.clear();
        updates.clear();
        refreshes.clear();
        tavel::CurrentInventoryApp()->AttachHost(this);
        tavel::CurrentInventoryApp()->SetMinProductLength(6);
    }
    // Whether a box began with the text of code (refusals of the business layer carry a
    // suffix that says nothing was saved).
    bool Said(unsigned code) const {
        const std::string text(strings.Get(code));
        for (const Box& b : boxes)
            if (!text.empty() && b.text.rfind(text, 0) == 0)
                return true;
        return false;
    }
    int Count(SoundKind kind) const {
        int n = 0;
        for (SoundKind s : sounds)
            n += s == kind;
        return n;
    }
};

// Answers every sub-screen through handler while it lives; restores the default after.
class SubScreenScript {
public:
    explicit SubScreenScript(std::function<int(WSIDialog&)> handler)
        : old_(WSISetModalRunner(std::move(handler))) {}
    ~SubScreenScript() { WSISetModalRunner(std::move(old_)); }
    SubScreenScript(const SubScreenScript&) = delete;
    SubScreenScript& operator=(const SubScreenScript&) = delete;

private:
    WSIModalRunner old_;
};
