#include "QtReportEngine.h"

#include "HostWindow.h"
#include "Paths.h"
#include "ReportRender.h"
#include "ReportTexts.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavel::report {

QtReportEngine::QtReportEngine(WSIDatabase* db)
    : db_(db), folder_((std::filesystem::path(tavel::ResourceDir()) / "reports").string()) {}

std::unique_ptr<WSIReportJob> QtReportEngine::OpenJob(const char* reportFile, const char* title,
                                                      bool preview, WSIWindow* parent) {
    return std::make_unique<QtReportJob>(*this, reportFile ? reportFile : "", title ? title : "",
                                         preview, parent);
}

void QtReportEngine::ReportError(WSIWindow* parent, const std::string& title,
                                 const std::string& text) {
    lastError_ = text;
    if (onError_) {
        onError_(title, text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && pdfOutput_.empty()) {
        QMessageBox::warning(WidgetOf(parent), QString::fromStdString(title),
                             QString::fromStdString(text));
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

QtReportJob::QtReportJob(QtReportEngine& engine, std::string reportFile, std::string title,
                         bool preview, WSIWindow* parent)
    : engine_(engine), file_(std::move(reportFile)), title_(std::move(title)), preview_(preview),
      parent_(parent) {}

void QtReportJob::SetFormulas(const ST_FORMULAS* formulas, int count) {
    for (int i = 0; formulas && i < count; ++i)
        inputs_.formulas.emplace_back(formulas[i].szName, Unquote(formulas[i].szValue));
}

void QtReportJob::SetFormulaError(bool on) {
    inputs_.formulaErrors = on;
}

void QtReportJob::SetParameter(const CRPEValueInfo* values, int count) {
    inputs_.params.clear();
    for (int i = 0; values && i < count; ++i) {
        ParamValue v;
        v.isNumber = values[i].kind == CRPEValueInfo::Number;
        v.number = values[i].number;
        v.text = values[i].text;
        inputs_.params.push_back(std::move(v));
    }
}

void QtReportJob::SetFullPath(bool on) {
    fullPath_ = on;
}

std::string QtReportJob::DefinitionPath() const {
    if (fullPath_)
        return file_;
    // A name inside the report folder, even when it looks like a path of its own.
    return engine_.ReportFolder() + "/" + file_;
}

bool QtReportJob::Build(std::string& html, PageSetup& page) {
    error_.clear();
    const std::string path = DefinitionPath();
    std::ifstream in(path, std::ios::binary);
    if (file_.empty() || !in) {
        error_ = ReportText(kMsgCannotRead, {path});
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const ParseResult parsed = ParseReportDefinition(text.str());
    if (!parsed.ok()) {
        error_ = FormatParseError(path, parsed.errors.front());
        return false;
    }
    const ReportDefinition& def = parsed.definition;
    if (!CheckFormulas(def, inputs_, error_))
        return false;
    ReportData data;
    if (!engine_.Database() || !FetchReportData(*engine_.Database(), def, inputs_, data, error_))
        return false;
    if (title_.empty())
        title_ = def.title;
    html = BuildReportHtml(def, inputs_, data, title_);
    page = def.page;
    return true;
}

bool QtReportJob::RenderPdf(const std::string& path) {
    std::string html;
    PageSetup page;
    if (!Build(html, page))
        return false;
    ReportOutput out;
    out.kind = ReportOutput::Pdf;
    out.pdfPath = path;
    return RenderHtml(html, title_, page, out, error_);
}

bool QtReportJob::Print(bool showDialog, bool /*wait: rendering is always synchronous*/) {
    bool ok = false;
    if (!engine_.PdfOutput().empty()) {
        ok = RenderPdf(engine_.PdfOutput());
    } else {
        std::string html;
        PageSetup page;
        if (Build(html, page)) {
            ReportOutput out;
            out.kind = preview_ ? ReportOutput::Preview : ReportOutput::Printer;
            out.parent = WidgetOf(parent_);
            out.showDialog = showDialog;
            ok = RenderHtml(html, title_, page, out, error_);
        }
    }
    if (!ok)
        engine_.ReportError(parent_, title_, ReportText(kMsgReportFailed, {file_, error_}));
    return ok;
}

} // namespace tavel::report
