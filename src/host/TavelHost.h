#pragma once

// The suite stand-in as the module sees it: string table, database, main window, prompt
// service, profile, usage log, user rights, screen metrics and the messages the module's
// screens send to the main window.

#include "ModuleLoader.h"
#include "PromptService.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIProfile.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class HostMainWindow;
class QAbstractItemModel;
namespace tavel::report {
class QtReportEngine;
}
class WSIDatabase;
class WSIDllHandler;

// Appends one line per event to a log file of the data folder.
class UsageLog : public UsageTracker {
public:
    explicit UsageLog(std::string path) : path_(std::move(path)) {}
    void TrackEvent(int a, int b, int c, int d,
                    const std::map<std::string, std::string>& properties) override;
    // A line of the host's own (sounds, refused commands).
    void Note(const std::string& text);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class TavelHost : public WSIApplication {
public:
    // Screen metrics the size rule reads; the real screen's unless a test sets them.
    struct Metrics {
        int defaultWidth = 0, defaultHeight = 0, workAreaWidth = 0, screenHeight = 0;
    };

    // Host of db (may be null until opened), texts loaded by the caller, files in dataDir.
    TavelHost(std::unique_ptr<WSIDatabase> db, StringTable texts, std::string dataDir);
    ~TavelHost() override;

    // --- WSIApplication
    int LoadString(unsigned code, char* buf, int size) const override;
    WSIDatabase* GetDb() override { return db_.get(); }
    WSIWindow* GetMainWindow() override;
    WSIReportEngine* GetCrystalEngine() override;
    int MessageBox(WSIWindow* parent, const char* text, const char* caption,
                   unsigned style) override;
    int WarnDialog(WSIWindow* owner, int templateId) override;
    int DefaultMDIWidth() const override;
    int DefaultMDIHeight() const override;
    int WorkAreaWidth() const override;
    int ScreenHeight() const override;
    void ProductRefresh(int sourceId, long product) override;
    void NotifyUpdate(int sourceId, long id) override;
    long SendMainWindowMessage(unsigned msg, void* param) override;
    WSIProfile* GetProfile() override { return &profile_; }
    UsageTracker* GetUsageTracker() override { return &usage_; }
    bool CanApprove(int right) const override;
    int MdiXOffset() const override;
    int MdiYOffset() const override;

    // The restricted-approval check: a user whose right is restricted may not approve what
    // they created themselves.
    bool RestrictedApprovalDenied(int right, long creatingUser) const;

    // --- the host's own
    const StringTable& Texts() const { return texts_; }
    std::string Text(unsigned code) const { return std::string(texts_.Get(code)); }
    // Replaces the prompt service (not owned); null restores the Qt one.
    void SetPromptService(PromptService* prompts);
    PromptService& Prompts() { return *prompts_; }
    int Ask(const Prompt& prompt);
    void SetMainWindow(HostMainWindow* window) { window_ = window; }
    HostMainWindow* MainWindow() const { return window_; }
    void SetMetrics(const std::optional<Metrics>& metrics) { metrics_ = metrics; }

    // Signs user in: the database stamps the id, the rights are loaded.
    void SignedIn(long user, const std::string& login);
    long User() const { return user_; }
    const std::string& Login() const { return login_; }

    // Loads the module, attaches this host and calls InitApp with the signed-in user.
    bool LoadModule(const std::string& path, std::string& problem);
    WSIDllHandler* Handler() const { return module_.Handler(); }
    // Runs a menu command through the module; false when the module did not handle it.
    bool RunCommand(long commandId, void* parameter = nullptr);
    // Opens the module's product report screen; false when the module has none.
    bool RunProductReport(bool preview);
    // Closes the module's windows and unloads it.
    void UnloadModule();

    // Message 2035: prints the model's rows under title, to a print preview or, when set,
    // to the list PDF file. False with error set when nothing was printed.
    bool PrintList(QAbstractItemModel* model, const std::string& title, std::string& error);
    void SetListPdf(std::string path) { listPdf_ = std::move(path); }

    const std::string& DataDir() const { return dataDir_; }
    UsageLog& Usage() { return usage_; }

private:
    // First, so destroyed last: the module's code stays loaded while anything else goes.
    ModuleLoader module_;

    // Message 3025 to every MDI child; the inventory window handles it.
    void SendUpdate(long source, long id);
    long PickFromTable(bool province, void* param);

    std::unique_ptr<WSIDatabase> db_;
    StringTable texts_;
    std::string dataDir_;
    WSIProfile profile_;
    UsageLog usage_;
    QtPromptService qtPrompts_;
    PromptService* prompts_ = &qtPrompts_;
    HostMainWindow* window_ = nullptr;
    std::optional<Metrics> metrics_;
    long user_ = 0;
    std::string login_;
    std::map<int, bool> rights_;
    std::unique_ptr<tavel::report::QtReportEngine> reports_;
    std::string listPdf_;
};
