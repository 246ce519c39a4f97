#pragma once

#include "InventoryModule.h"
#include "MessageStyle.h"
#include "WSIApplication.h"
#include "WSIInventoryApp.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

// Scripted host: texts by code, screen metrics, and a prompt service that records each
// box and answers with a preset id.
class FakeHost : public WSIApplication {
public:
    struct Box {
        WSIWindow* parent;
        std::string text;
        std::string caption;
        unsigned style;
    };

    std::map<unsigned, std::string> texts;
    std::vector<Box> boxes;
    int answer = id::OK;
    int defaultWidth = 1024, defaultHeight = 768, workAreaWidth = 1280, screenHeight = 1024;
    WSIDatabase* db = nullptr;
    WSIWindow* mainWindow = nullptr;

    int LoadString(unsigned code, char* buf, int size) const override {
        buf[0] = '\0';
        auto it = texts.find(code);
        if (it == texts.end())
            return 0;
        int n = std::min(static_cast<int>(it->second.size()), size - 1);
        std::memcpy(buf, it->second.data(), n);
        buf[n] = '\0';
        return n;
    }
    WSIDatabase* GetDb() override { return db; }
    WSIWindow* GetMainWindow() override { return mainWindow; }
    int MessageBox(WSIWindow* parent, const char* text, const char* caption,
                   unsigned style) override {
        boxes.push_back({parent, text ? text : "", caption ? caption : "", style});
        return answer;
    }
    int DefaultMDIWidth() const override { return defaultWidth; }
    int DefaultMDIHeight() const override { return defaultHeight; }
    int WorkAreaWidth() const override { return workAreaWidth; }
    int ScreenHeight() const override { return screenHeight; }
};

// The module as loaded: its single handler attached to a fake host.
template <class Host = FakeHost> class BasicModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(tavel::ModuleAttachCount(), 0);
        tavel::ModuleAttach();
        app = tavel::CurrentInventoryApp();
        ASSERT_NE(app, nullptr);
        app->AttachHost(&host);
    }
    void TearDown() override {
        while (tavel::ModuleAttachCount() > 0)
            tavel::ModuleDetach();
    }

    Host host;
    WSIInventoryApp* app = nullptr;
};
using ModuleTest = BasicModuleTest<>;
