#include "TavelHost.h"

#include "ColumnWidths.h"
#include "HostDatabase.h"
#include "HostMainWindow.h"
#include "MessageStyle.h"
#include "PickerDialog.h"
#include "QtReportEngine.h"
#include "ReportRender.h"
#include "WSIDatabase.h"
#include "WSIDllHandler.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

void UsageLog::TrackEvent(int a, int b, int c, int d,
                          const std::map<std::string, std::string>& properties) {
    std::string line = std::to_string(a) + ' ' + std::to_string(b) + ' ' + std::to_string(c) + ' ' +
                       std::to_string(d);
    for (const auto& [key, value] : properties)
        line += ' ' + key + '=' + value;
    Note(line);
}

void UsageLog::Note(const std::string& text) {
    std::ofstream out(path_, std::ios::app);
    out << QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() << '\t' << text << '\n';
}

TavelHost::TavelHost(std::unique_ptr<WSIDatabase> db, StringTable texts, std::string dataDir)
    : db_(std::move(db)), texts_(std::move(texts)), dataDir_(std::move(dataDir)),
      profile_(dataDir_ + "/tavel.ini"), usage_(dataDir_ + "/usage.log") {
    // A missing or damaged file leaves the values empty; every reader has its default.
    profile_.Load();
}

TavelHost::~TavelHost() {
    UnloadModule();
    reports_.reset();
    profile_.Save();
}

int TavelHost::LoadString(unsigned code, char* buf, int size) const {
    return texts_.Load(code, buf, size);
}

WSIWindow* TavelHost::GetMainWindow() {
    return window_ ? static_cast<WSIQtMainWindow*>(window_) : nullptr;
}

void TavelHost::SetPromptService(PromptService* prompts) {
    prompts_ = prompts ? prompts : &qtPrompts_;
}

int TavelHost::Ask(const Prompt& prompt) {
    return prompts_->Ask(window_, prompt);
}

int TavelHost::MessageBox(WSIWindow* parent, const char* text, const char* caption,
                          unsigned style) {
    Prompt prompt;
    prompt.text = text ? text : "";
    prompt.caption = caption ? caption : "";
    prompt.buttons = ButtonsOfStyle(style);
    prompt.icon = style & mb::kIconMask;
    QWidget* owner = parent ? WidgetOf(parent) : window_;
    return prompts_->Ask(owner, prompt);
}

int TavelHost::WarnDialog(WSIWindow* owner, int templateId) {
    Prompt prompt;
    if (!WarningPrompt(texts_, templateId, prompt)) {
        usage_.Note("warning screen " + std::to_string(templateId) + " has no text; declined");
        return id::CANCEL;
    }
    QWidget* parent = owner ? WidgetOf(owner) : window_;
    return prompts_->Ask(parent, prompt) == id::YES ? id::OK : id::CANCEL;
}

namespace {
QScreen* Screen() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::primaryScreen()
                                                                     : nullptr;
}
} // namespace

int TavelHost::WorkAreaWidth() const {
    if (metrics_)
        return metrics_->workAreaWidth;
    QScreen* screen = Screen();
    return screen ? screen->availableGeometry().width() : 0;
}

int TavelHost::ScreenHeight() const {
    if (metrics_)
        return metrics_->screenHeight;
    QScreen* screen = Screen();
    return screen ? screen->geometry().height() : 0;
}

// A new MDI child fills the MDI client as it is now; before the main window is laid out,
// the work area stands for it.
int TavelHost::DefaultMDIWidth() const {
    if (metrics_)
        return metrics_->defaultWidth;
    if (window_ && window_->isVisible())
        return window_->MdiClient()->viewport()->width();
    return WorkAreaWidth();
}

int TavelHost::DefaultMDIHeight() const {
    if (metrics_)
        return metrics_->defaultHeight;
    if (window_ && window_->isVisible())
        return window_->MdiClient()->viewport()->height();
    QScreen* screen = Screen();
    return screen ? screen->availableGeometry().height() : 0;
}

// The child's frame: its borders across, its title bar and borders down.
int TavelHost::MdiXOffset() const {
    QStyle* style = window_ ? window_->style() : nullptr;
    return style ? 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) : 0;
}

int TavelHost::MdiYOffset() const {
    QStyle* style = window_ ? window_->style() : nullptr;
    return style ? 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) +
                       style->pixelMetric(QStyle::PM_TitleBarHeight)
                 : 0;
}

void TavelHost::SendUpdate(long source, long id) {
    if (!window_)
        return;
    for (QMdiSubWindow* child : window_->MdiClient()->subWindowList()) {
        HostMessageEvent event(hostmsg::kUpdateInfo, source, id);
        QCoreApplication::sendEvent(child, &event);
    }
}

void TavelHost::ProductRefresh(int sourceId, long product) {
    SendUpdate(sourceId, product);
}

void TavelHost::NotifyUpdate(int sourceId, long id) {
    SendUpdate(sourceId, id);
}

long TavelHost::SendMainWindowMessage(unsigned msg, void* param) {
    switch (msg) {
    case hostmsg::kPlaySound: {
        static const char* const kinds[] = {"success", "error", "notice"};
        const auto kind = static_cast<int>(reinterpret_cast<std::intptr_t>(param));
        QApplication::beep();
        usage_.Note(std::string("sound ") + (kind >= 0 && kind < 3 ? kinds[kind] : "unknown"));
        return 1;
    }
    case hostmsg::kPrintList: {
        auto* request = static_cast<PrintListRequest*>(param);
        if (!request || !request->list)
            return 0;
        // The list window is a table view: its rows are read through Qt's model, whose
        // calls are virtual and so safe across the module boundary.
        auto* view = static_cast<QTableView*>(request->list);
        const std::string title = request->title ? request->title : "";
        std::string error;
        const bool printed = PrintList(view->model(), title, error);
        usage_.Note("print list " + title + (printed ? "" : ": " + error));
        if (!printed && window_)
            window_->Say(QString::fromStdString(tavelhost::MessageWith(texts_, 39408, error)));
        return printed ? 1 : 0;
    }
    case hostmsg::kCityPicker:
        return PickFromTable(false, param);
    case hostmsg::kProvincePicker:
        return PickFromTable(true, param);
    case hostmsg::kLocationLink: {
        const char* location = static_cast<const char*>(param);
        usage_.Note(std::string("location link ") + (location ? location : ""));
        Prompt prompt;
        prompt.text = Text(39409);
        prompt.caption = "Tavel";
        prompt.icon = mb::ICONINFORMATION;
        Ask(prompt);
        return 1;
    }
    default:
        return 0;
    }
}

bool TavelHost::PrintList(QAbstractItemModel* model, const std::string& title, std::string& error) {
    if (!model) {
        error = "no rows";
        return false;
    }
    std::vector<std::string> headings;
    for (int c = 0; c < model->columnCount(); ++c)
        headings.push_back(model->headerData(c, Qt::Horizontal).toString().toStdString());
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < model->columnCount(); ++c)
            row.push_back(model->index(r, c).data().toString().toStdString());
        rows.push_back(std::move(row));
    }
    tavel::report::ReportOutput output;
    if (!listPdf_.empty()) {
        output.kind = tavel::report::ReportOutput::Pdf;
        output.pdfPath = listPdf_;
    } else {
        output.kind = tavel::report::ReportOutput::Preview;
        output.parent = window_;
    }
    return tavel::report::RenderList(title, headings, rows, output, error);
}

WSIReportEngine* TavelHost::GetCrystalEngine() {
    if (!reports_ && db_)
        reports_ = std::make_unique<tavel::report::QtReportEngine>(db_.get());
    return reports_.get();
}

long TavelHost::PickFromTable(bool province, void* param) {
    if (!param || !db_)
        return 0;
    // The caller's buffer holds one place name (its column width and a terminator).
    constexpr std::size_t kSize = ColWidth::PlaceName + 1;
    char* inout = static_cast<char*>(param);
    std::string chosen;
    if (!PickPlace(window_, *db_, province, std::string(inout, strnlen(inout, kSize - 1)), chosen))
        return 0;
    const std::size_t n = std::min(chosen.size(), kSize - 1);
    std::memcpy(inout, chosen.data(), n);
    inout[n] = '\0';
    return 1;
}

bool TavelHost::CanApprove(int right) const {
    return rights_.count(right) != 0;
}

bool TavelHost::RestrictedApprovalDenied(int right, long creatingUser) const {
    auto it = rights_.find(right);
    if (it == rights_.end())
        return true;
    return it->second && creatingUser == user_;
}

void TavelHost::SignedIn(long user, const std::string& login) {
    user_ = user;
    login_ = login;
    if (db_) {
        db_->SetCurrentUser(user);
        rights_ = tavelhost::LoadRights(*db_, user);
    }
    usage_.Note("sign in " + login);
}

bool TavelHost::LoadModule(const std::string& path, std::string& problem) {
    if (!module_.Load(path, problem))
        return false;
    WSIDllHandler* handler = module_.Handler();
    handler->AttachHost(this);
    handler->InitApp(user_);
    return true;
}

bool TavelHost::RunCommand(long commandId, void* parameter) {
    WSIDllHandler* handler = module_.Handler();
    const bool handled = handler && handler->ExecuteCommand(commandId, parameter);
    if (!handled) {
        usage_.Note("command " + std::to_string(commandId) + " not handled");
        if (window_)
            window_->Say(QString::fromStdString(
                tavelhost::MessageWith(texts_, 39410, std::to_string(commandId))));
    }
    return handled;
}

bool TavelHost::RunProductReport(bool preview) {
    using RunFn = bool (*)(WSIWindow*, bool);
    auto run = reinterpret_cast<RunFn>(module_.Symbol("RunWSIProductReport"));
    const bool ran = run && run(GetMainWindow(), preview);
    if (!ran)
        usage_.Note("product report not available");
    return ran;
}

void TavelHost::UnloadModule() {
    // The module's windows run the module's code: they are destroyed now, not at a later
    // event loop pass, while the module is still loaded.
    if (window_)
        for (QMdiSubWindow* child : window_->MdiClient()->subWindowList())
            delete child;
    module_.Unload();
}
