#include "SelfTest.h"

#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "CommandParameters.h"
#include "HostMainWindow.h"
#include "InventoryCodes.h"
#include "InventoryWindowDriver.h"
#include "QtReportEngine.h"
#include "TavelHost.h"
#include "WSIDatabase.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QMdiSubWindow>
#include <QPixmap>

#include <filesystem>
#include <memory>
#include <system_error>

namespace tavelhost {

namespace {
constexpr unsigned kOrderTitleMessage = 38166;
} // namespace

long FindOpenOrder(TavelHost& host) {
    WSIDatabase* db = host.GetDb();
    if (!db)
        return 0;
    using namespace tavel::OrdItStatus;
    char sql[512];
    TVL_FORMAT(sql,
               "SELECT MIN(O.\"InvOrder\") FROM INVORDER O, INVORDIT I WHERE I.\"InvOrder\" = "
               "O.\"InvOrder\" AND O.\"Inactive\" = 0 AND I.\"Status\" IN (%d,%d,%d,%d,%d)",
               Ordered, Purchased, OnPickList, PartiallyFilled, BackOrdered);
    long order = 0;
    std::unique_ptr<WSITable> cursor = db->Query(__FILE__, __LINE__, "%s", &order, sql);
    return cursor->GetFirst() ? order : 0;
}

bool RenderOrderPdf(TavelHost& host, long order, const std::string& pdf, std::string& error) {
    auto* engine = static_cast<tavel::report::QtReportEngine*>(host.GetCrystalEngine());
    if (!engine) {
        error = "no database to print from";
        return false;
    }
    const std::string title = host.Text(kOrderTitleMessage);
    std::unique_ptr<WSIReportJob> job =
        engine->OpenJob("InvOrder.rpt", title.c_str(), false, nullptr);
    ST_FORMULAS formula;
    char value[32];
    TVL_FORMAT(value, "%ld", order);
    SetStringFormula(formula, "InvOrder", value);
    job->SetFormulas(&formula, 1);
    job->SetFormulaError(true);
    // The engine's own jobs: rendered straight to the file, no printer or preview.
    auto* qtJob = static_cast<tavel::report::QtReportJob*>(job.get());
    std::error_code gone;
    std::filesystem::remove(pdf, gone);
    if (!qtJob->RenderPdf(pdf)) {
        error = qtJob->Error();
        return false;
    }
    std::error_code sized;
    if (std::filesystem::file_size(pdf, sized) == 0 || sized) {
        error = pdf + " is empty";
        return false;
    }
    return true;
}

SelfTestOutcome RunSelfTest(TavelHost& host, HostMainWindow& window, const std::string& outDir) {
    SelfTestOutcome out;
    window.resize(1400, 900);
    window.show();
    QApplication::processEvents();
    if (!host.RunCommand(cmd::Inventory)) {
        out.problem = "the inventory command was not handled";
        return out;
    }
    QApplication::processEvents();
    QMdiSubWindow* inventory = FindInventoryWindow(window);
    if (!inventory) {
        out.problem = "the inventory window did not open";
        return out;
    }
    // The first tab searched with the screen's default filters, as a user's first click.
    if (!SelectTab(inventory, PendingTab) || !ClickCommand(inventory, QStringLiteral("Search"))) {
        out.problem = "the inventory window has no search command";
        return out;
    }
    QApplication::processEvents();
    QAbstractItemModel* rows = TabRows(inventory, PendingTab);
    out.rows = rows ? rows->rowCount() : 0;
    if (out.rows == 0) {
        out.problem = "the search on the first tab found no rows";
        return out;
    }
    out.order = FindOpenOrder(host);
    if (out.order == 0) {
        out.problem = "the database has no open order to print";
        return out;
    }
    out.pdf = outDir + "/self-test-order.pdf";
    std::string error;
    if (!RenderOrderPdf(host, out.order, out.pdf, error)) {
        out.problem = "report: " + error;
        return out;
    }
    out.screenshot = outDir + "/tavel-main.png";
    if (!window.grab().save(QString::fromStdString(out.screenshot))) {
        out.problem = "cannot save " + out.screenshot;
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace tavelhost
