// invctl report: renders a report definition to a PDF file without a display, filled
// from the database with the formulas and parameters a caller of the report would pass.

#include "invctl.h"

#include "CCrystalReportObj.h"
#include "QtReportEngine.h"
#include "WSIDatabase.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace invctl {
namespace {

// A finite number: "nan", "inf" and overflowing numbers are passed on as text.
bool IsNumeric(const std::string& s) {
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == '\0' && std::isfinite(v);
}

int RunReport(const Options& options, const Args& args) {
    std::string file, out, title, db = options.db;
    std::vector<ST_FORMULAS> formulas;
    std::vector<CRPEValueInfo> params;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--formula" && hasValue) {
            const std::string& f = args[++i];
            const std::size_t eq = f.find('=');
            if (eq == std::string::npos || eq == 0)
                return UsageError(kReportCommand, "--formula wants NAME=VALUE, not " + f);
            ST_FORMULAS& entry = formulas.emplace_back();
            // Written as every caller writes it: the value between double quotes.
            SetStringFormula(entry, f.substr(0, eq).c_str(), f.substr(eq + 1).c_str());
        } else if (a == "--param" && hasValue) {
            const std::string& v = args[++i];
            CRPEValueInfo& p = params.emplace_back();
            if (IsNumeric(v)) {
                p.kind = CRPEValueInfo::Number;
                p.number = std::strtod(v.c_str(), nullptr);
            } else {
                p.kind = CRPEValueInfo::Text;
                std::strncpy(p.text, v.c_str(), sizeof p.text - 1);
            }
        } else if (a == "--out" && hasValue) {
            out = args[++i];
        } else if (a == "--title" && hasValue) {
            title = args[++i];
        } else if (a == "--db" && hasValue) {
            db = args[++i];
        } else if (!a.empty() && a[0] != '-' && file.empty()) {
            file = a;
        } else {
            return UsageError(kReportCommand, "unexpected argument " + a);
        }
    }
    if (file.empty())
        return UsageError(kReportCommand, "no report file given");
    if (out.empty())
        return UsageError(kReportCommand, "no output file given (--out FILE.pdf)");
    if (db.empty())
        return UsageError(kReportCommand, "no database file given (--db FILE)");

    std::string problem;
    std::unique_ptr<WSIDatabase> database = OpenInventory(db, problem);
    if (!database)
        return Fail(problem);

    // Fonts and page layout need a GUI application, which needs no display offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "invctl";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    tavel::report::QtReportEngine engine(database.get());
    // A name is looked up in the report folder; anything with a folder in it is a path.
    const bool fullPath = file.find('/') != std::string::npos;
    tavel::report::QtReportJob job(engine, file, title, false, nullptr);
    job.SetFormulas(formulas.data(), static_cast<int>(formulas.size()));
    job.SetFormulaError(true);
    job.SetParameter(params.data(), static_cast<int>(params.size()));
    job.SetFullPath(fullPath);
    if (!job.RenderPdf(out))
        return Fail(job.Error());
    std::printf("wrote %s\n", out.c_str());
    return kExitOk;
}

} // namespace

const Command kReportCommand = {
    "report", "FILE.rpt [--formula NAME=VALUE]... [--param VALUE]... --out FILE.pdf [--db FILE]",
    "render a report to a PDF file (a FILE with a folder in it is a path, else a report name)",
    RunReport};

} // namespace invctl
