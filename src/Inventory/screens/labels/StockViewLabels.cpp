// The levels and received lists' label commands: the rows become label contents (each
// refused row says why), and the labels go to the report engine's PDF output when one
// is set (headless runs), else to a print preview.

#include "LabelPrint.h"

#include "InventoryListRows.h"
#include "QtReportEngine.h"
#include "Records.h"
#include "WSIApplication.h"
#include "WSIInvStockViews.h"

namespace {

using namespace tavel::labels;

// The message of a refused label, with the product or lot it is about in place of %s.
QString RefusalText(const WSIApplication* host, unsigned code, const std::string& subject) {
    std::string text = tavel::views::MessageText(host, code);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, subject);
    return QString::fromStdString(text);
}

tavel::report::ReportOutput OutputFor(WSIApplication* host, QWidget* parent) {
    tavel::report::ReportOutput output;
    output.parent = parent;
    output.kind = tavel::report::ReportOutput::Preview;
    auto* engine =
        dynamic_cast<tavel::report::QtReportEngine*>(host ? host->GetCrystalEngine() : nullptr);
    if (engine && !engine->PdfOutput().empty()) {
        output.kind = tavel::report::ReportOutput::Pdf;
        output.pdfPath = engine->PdfOutput();
    }
    return output;
}

// Shows the first refusal, if any; then prints what is left, or tells that nothing is.
template <class Label, class PrintFn>
void PrintOrRefuse(WSIInventoryListDialog& screen, const std::vector<Label>& labels,
                   const QString& firstRefusal, PrintFn print) {
    WSIApplication* host = screen.Module();
    if (!firstRefusal.isEmpty())
        screen.MessageBox(firstRefusal);
    if (labels.empty()) {
        if (firstRefusal.isEmpty())
            screen.MessageBox(kMsgNothingToPrint);
        return;
    }
    std::string error;
    const LabelSheet sheet = SheetFromProfile(host ? host->GetProfile() : nullptr);
    bool ok;
    {
        WSIWaitCursor busy;
        ok = print(labels, sheet, OutputFor(host, &screen), error);
    }
    if (!ok)
        screen.MessageBox(RefusalText(host, kMsgCannotWrite, error));
}

std::string Text(const char* field) {
    return field ? field : "";
}

} // namespace

void WSIInvLevelsDialog::CmBinLabels() {
    std::vector<BinLabel> labels;
    QString refusal;
    for (int row : List()->SelectedRows()) {
        const WSILevelsData* r = RowRecord(row);
        if (!r)
            continue;
        BinLabel label;
        const unsigned code = MakeBinLabel(Text(r->ProductCode), Text(r->ProductDesc), Text(r->Bin),
                                           Text(r->Unit), Text(r->InvLoc), label);
        if (code == 0)
            labels.push_back(std::move(label));
        else if (refusal.isEmpty())
            refusal = RefusalText(Module(), code, label.description);
    }
    PrintOrRefuse(*this, labels, refusal, PrintBinLabels);
}

void WSIInvReceivedDialog::CmLotLabels() {
    BILabels reader(Db());
    std::vector<LotLabel> labels;
    QString refusal;
    for (int row : List()->SelectedRows()) {
        const WSIReceivedData* r = RowRecord(row);
        if (!r)
            continue;
        LotLabel label;
        const unsigned code = MakeLotLabel(
            reader.UPCCodeOf(r->Product), Text(r->RefNo), r->ExpiryDate, Text(r->ProductCode),
            Text(r->ProductDesc), Text(r->Unit), Text(r->InvLoc), label);
        if (code == 0) {
            labels.push_back(std::move(label));
        } else if (refusal.isEmpty()) {
            const std::string subject =
                code == kMsgLotNotPrintable ? Text(r->RefNo) : Text(r->ProductDesc);
            refusal = RefusalText(Module(), code, subject);
        }
    }
    PrintOrRefuse(*this, labels, refusal, PrintLotLabels);
}
