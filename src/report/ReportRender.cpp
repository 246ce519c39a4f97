#include "ReportRender.h"

#include "ReportFill.h"
#include "ReportTexts.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>

namespace tavel::report {

namespace {

constexpr double kPrintMarginMm = 20.0;

QPageLayout LayoutOf(const PageSetup& page) {
    const QPageSize size(page.size == PageSize::A4      ? QPageSize::A4
                         : page.size == PageSize::Legal ? QPageSize::Legal
                                                        : QPageSize::Letter);
    // QTextDocument::print adds a 2 cm margin of its own inside the printable area (and
    // numbers the pages in it); the layout's margin is what is left to reach the total.
    const double m = std::max(0.0, page.marginMm - kPrintMarginMm);
    return QPageLayout(size, page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(m, m, m, m), QPageLayout::Millimeter);
}

} // namespace

bool RenderHtml(const std::string& html, const std::string& title, const PageSetup& page,
                const ReportOutput& output, std::string& error) {
    QTextDocument doc;
    doc.setHtml(QString::fromStdString(html));
    doc.setMetaInformation(QTextDocument::DocumentTitle, QString::fromStdString(title));
    const QPageLayout layout = LayoutOf(page);

    switch (output.kind) {
    case ReportOutput::Pdf: {
        // QPdfWriter does not say when it cannot open its file; check first.
        QFile probe(QString::fromStdString(output.pdfPath));
        if (output.pdfPath.empty() || !probe.open(QIODevice::WriteOnly)) {
            error = ReportText(kMsgCannotWritePdf, {output.pdfPath});
            return false;
        }
        probe.close();
        QPdfWriter writer(QString::fromStdString(output.pdfPath));
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator(QStringLiteral("Tavel"));
        writer.setPageLayout(layout);
        doc.print(&writer);
        return true;
    }
    case ReportOutput::Printer: {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(layout);
        printer.setDocName(QString::fromStdString(title));
        if (output.showDialog) {
            QPrintDialog dialog(&printer, output.parent);
            if (dialog.exec() != QDialog::Accepted)
                return true;
        }
        if (!printer.isValid()) {
            error = ReportText(kMsgNoPrinter);
            return false;
        }
        doc.print(&printer);
        return true;
    }
    case ReportOutput::Preview: {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(layout);
        printer.setDocName(QString::fromStdString(title));
        QPrintPreviewDialog preview(&printer, output.parent);
        preview.setWindowTitle(QString::fromStdString(title));
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&doc](QPrinter* p) { doc.print(p); });
        preview.exec();
        return true;
    }
    }
    return false;
}

bool RenderList(const std::string& title, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows, const ReportOutput& output,
                std::string& error) {
    PageSetup page;
    // Wide lists get the long side of the page.
    page.landscape = headings.size() > 6;
    return RenderHtml(BuildListHtml(title, headings, rows, 9.0), title, page, output, error);
}

} // namespace tavel::report
