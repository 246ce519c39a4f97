#pragma once

// The report engine of the host: loads a report definition (*.rpt) from the report
// folder (or a full path), fills it from the database with the job's formulas and
// parameters, and renders it to the printer, a print preview or a PDF file.
//
// Headless use (command-line tools, tests): SetPdfOutput makes every job write that PDF
// file instead, or a QtReportJob renders itself with RenderPdf.

#include "ReportDefinition.h"
#include "ReportFill.h"
#include "WSIReportEngine.h"

#include <functional>
#include <string>

class WSIDatabase;

namespace tavel::report {

class QtReportEngine : public WSIReportEngine {
public:
    // db: the connection that every report queries; kept, not owned.
    explicit QtReportEngine(WSIDatabase* db);

    std::unique_ptr<WSIReportJob> OpenJob(const char* reportFile, const char* title, bool preview,
                                          WSIWindow* parent) override;

    // Folder of the report files; the resource folder's "reports" unless set.
    void SetReportFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& ReportFolder() const { return folder_; }
    // Non-empty: every job renders to this PDF file instead of a printer or preview.
    void SetPdfOutput(std::string path) { pdfOutput_ = std::move(path); }
    const std::string& PdfOutput() const { return pdfOutput_; }
    // Where a failed job's message goes. By default a warning box under the job's parent
    // when a widget application runs, standard error otherwise.
    void SetErrorHandler(std::function<void(const std::string& title, const std::string& text)> h) {
        onError_ = std::move(h);
    }
    const std::string& LastError() const { return lastError_; }

    WSIDatabase* Database() const { return db_; }
    void ReportError(WSIWindow* parent, const std::string& title, const std::string& text);

private:
    WSIDatabase* db_;
    std::string folder_;
    std::string pdfOutput_;
    std::string lastError_;
    std::function<void(const std::string&, const std::string&)> onError_;
};

class QtReportJob : public WSIReportJob {
public:
    QtReportJob(QtReportEngine& engine, std::string reportFile, std::string title, bool preview,
                WSIWindow* parent);

    void SetFormulas(const ST_FORMULAS* formulas, int count) override;
    void SetFormulaError(bool on) override;
    void SetParameter(const CRPEValueInfo* values, int count) override;
    void SetFullPath(bool on) override;
    // Renders as opened (preview or printer), or to the engine's PDF output when set.
    // A failure is reported through the engine and gives false.
    bool Print(bool showDialog, bool wait) override;

    // Renders to a PDF file without a display; false with Error() set on failure.
    bool RenderPdf(const std::string& path);
    const std::string& Error() const { return error_; }

    // The path the definition is read from.
    std::string DefinitionPath() const;
    // Loads, checks and fills the report; its HTML in html. False with Error() set.
    bool Build(std::string& html, PageSetup& page);

private:
    QtReportEngine& engine_;
    std::string file_;
    std::string title_;
    bool preview_;
    WSIWindow* parent_;
    bool fullPath_ = false;
    ReportInputs inputs_;
    std::string error_;
};

} // namespace tavel::report
