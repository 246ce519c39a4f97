#include "LabelPrint.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <zint.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace tavel::labels {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDeleter>;

Symbol Encode(int symbology, int inputMode, int option3, const std::string& data) {
    Symbol out;
    out.data = data;
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) {
        out.error = "out of memory";
        return out;
    }
    symbol->symbology = symbology;
    symbol->input_mode = inputMode;
    symbol->option_3 = option3;
    symbol->show_hrt = 0; // the label prints its own text
    symbol->output_options |= BARCODE_QUIET_ZONES;
    // Data that breaks a GS1 rule (check digit, date) fails instead of printing with a warning.
    symbol->warn_level = WARN_FAIL_ALL;
    const int rc =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    if (rc >= ZINT_ERROR || ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR ||
        !symbol->vector) {
        out.error = symbol->errtxt[0] ? symbol->errtxt : "the bar code could not be made";
        return out;
    }
    out.size = QSizeF(symbol->vector->width, symbol->vector->height);
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
        if (r->colour == -1)
            out.modules.emplace_back(r->x, r->y, r->width, r->height);
    return out;
}

// One label's drawing, given its rectangle in device units and one millimetre in them.
using DrawLabel = std::function<void(QPainter&, const QRectF&, double mm, int index)>;

void PaintSheets(QPagedPaintDevice& device, QPainter& painter, const LabelSheet& sheet, int count,
                 const DrawLabel& draw) {
    const double mm = device.logicalDpiX() / 25.4;
    for (int n = 0; n < count; ++n) {
        if (n > 0 && sheet.PageOf(n) != sheet.PageOf(n - 1))
            device.newPage();
        const QRectF cell(sheet.XOf(n) * mm, sheet.YOf(n) * mm, sheet.labelWidth * mm,
                          sheet.labelHeight * mm);
        painter.save();
        painter.setClipRect(cell);
        draw(painter, cell, mm, n);
        painter.restore();
    }
}

QPageLayout SheetLayout(const LabelSheet& sheet) {
    return QPageLayout(QPageSize(QSizeF(sheet.pageWidth, sheet.pageHeight), QPageSize::Millimeter,
                                 QString::fromStdString(sheet.name)),
                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter,
                       QMarginsF(0, 0, 0, 0));
}

bool Print(const LabelSheet& sheet, int count, const char* title,
           const tavel::report::ReportOutput& output, const DrawLabel& draw, std::string& error) {
    using tavel::report::ReportOutput;
    switch (output.kind) {
    case ReportOutput::Pdf: {
        // QPdfWriter does not say when it cannot open its file; check first.
        QFile probe(QString::fromStdString(output.pdfPath));
        if (output.pdfPath.empty() || !probe.open(QIODevice::WriteOnly)) {
            error = "cannot write " + output.pdfPath;
            return false;
        }
        probe.close();
        QPdfWriter writer(QString::fromStdString(output.pdfPath));
        writer.setTitle(QString::fromUtf8(title));
        writer.setCreator(QStringLiteral("Tavel"));
        writer.setResolution(600);
        writer.setPageLayout(SheetLayout(sheet));
        QPainter painter(&writer);
        PaintSheets(writer, painter, sheet, count, draw);
        return true;
    }
    case ReportOutput::Printer:
    case ReportOutput::Preview: {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setPageLayout(SheetLayout(sheet));
        printer.setDocName(QString::fromUtf8(title));
        auto paint = [&](QPrinter* p) {
            QPainter painter(p);
            PaintSheets(*p, painter, sheet, count, draw);
        };
        if (output.kind == ReportOutput::Preview) {
            QPrintPreviewDialog preview(&printer, output.parent);
            preview.setWindowTitle(QString::fromUtf8(title));
            QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
            preview.exec();
            return true;
        }
        if (output.showDialog) {
            QPrintDialog dialog(&printer, output.parent);
            if (dialog.exec() != QDialog::Accepted)
                return true;
        }
        paint(&printer);
        return true;
    }
    }
    return false;
}

QFont LabelFont(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// One line of text at the top of box, cut with an ellipsis to its width; the box's top
// moves below it.
void Line(QPainter& painter, QRectF& box, const std::string& text, const QFont& font) {
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const QString shown =
        metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, box.width());
    painter.drawText(QRectF(box.left(), box.top(), box.width(), metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, shown);
    box.setTop(box.top() + metrics.height());
}

std::string DateText(const WSIDate& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// Every label's symbol, encoded before anything is drawn: a failure prints nothing.
template <class Label>
bool EncodeAll(const std::vector<Label>& labels, std::string Label::*data,
               Symbol (*encode)(const std::string&), std::vector<Symbol>& symbols,
               std::string& error) {
    symbols.reserve(labels.size());
    for (const Label& l : labels) {
        symbols.push_back(encode(l.*data));
        if (!symbols.back().Ok()) {
            error = l.*data + ": " + symbols.back().error;
            return false;
        }
    }
    return true;
}

} // namespace

Symbol EncodeCode128(const std::string& data) {
    return Encode(BARCODE_CODE128, DATA_MODE, 0, data);
}

Symbol EncodeGs1DataMatrix(const std::string& elementString) {
    // Square symbols only: the rectangular sizes come out too flat for a label's corner.
    return Encode(BARCODE_DATAMATRIX, GS1_MODE | GS1PARENS_MODE, DM_SQUARE, elementString);
}

void PaintSymbol(QPainter& painter, const Symbol& symbol, const QRectF& target, bool keepAspect) {
    if (!symbol.Ok() || symbol.size.isEmpty())
        return;
    double sx = target.width() / symbol.size.width();
    double sy = target.height() / symbol.size.height();
    if (keepAspect)
        sx = sy = std::min(sx, sy);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QRectF& m : symbol.modules)
        painter.drawRect(m);
    painter.restore();
}

bool PrintBinLabels(const std::vector<BinLabel>& labels, const LabelSheet& sheet,
                    const tavel::report::ReportOutput& output, std::string& error) {
    std::vector<Symbol> symbols;
    if (!EncodeAll(labels, &BinLabel::productCode, EncodeCode128, symbols, error))
        return false;
    const DrawLabel draw = [&](QPainter& p, const QRectF& cell, double mm, int n) {
        const BinLabel& l = labels[n];
        QRectF box = cell.adjusted(3 * mm, 2 * mm, -3 * mm, -1.5 * mm);
        PaintSymbol(p, symbols[n], QRectF(box.topLeft(), QSizeF(box.width(), box.height() * 0.45)),
                    false);
        box.setTop(box.top() + box.height() * 0.47);
        p.setPen(Qt::black);
        Line(p, box, l.productCode + "  " + l.description, LabelFont(7.5, true));
        std::string detail;
        if (!l.bin.empty())
            detail = "Bin " + l.bin;
        if (!l.unit.empty())
            detail += (detail.empty() ? "" : "   ") + l.unit;
        if (!l.location.empty())
            detail += (detail.empty() ? "" : "   ") + l.location;
        Line(p, box, detail, LabelFont(7));
    };
    return Print(sheet, static_cast<int>(labels.size()), "Bin labels", output, draw, error);
}

bool PrintLotLabels(const std::vector<LotLabel>& labels, const LabelSheet& sheet,
                    const tavel::report::ReportOutput& output, std::string& error) {
    std::vector<Symbol> symbols;
    if (!EncodeAll(labels, &LotLabel::elementString, EncodeGs1DataMatrix, symbols, error))
        return false;
    const DrawLabel draw = [&](QPainter& p, const QRectF& cell, double mm, int n) {
        const LotLabel& l = labels[n];
        const QRectF inner = cell.adjusted(2.5 * mm, 2 * mm, -2.5 * mm, -1.5 * mm);
        // The element string in human-readable form right under the symbol.
        const QFont small = LabelFont(6);
        const double lineHeight = QFontMetricsF(small, p.device()).height();
        const double side = std::min(inner.height() - lineHeight - 0.5 * mm, inner.width() / 3);
        PaintSymbol(p, symbols[n], QRectF(inner.topLeft(), QSizeF(side, side)), true);
        p.setPen(Qt::black);
        QRectF text(inner.left() + side + 2 * mm, inner.top(), inner.width() - side - 2 * mm,
                    inner.height() - lineHeight);
        Line(p, text, l.productCode, LabelFont(7.5, true));
        Line(p, text, l.description, LabelFont(7));
        if (!l.lot.empty())
            Line(p, text, "Lot " + l.lot, LabelFont(7));
        if (!l.expiry.IsNull())
            Line(p, text, "Expires " + DateText(l.expiry), LabelFont(7, true));
        QRectF below(inner.left(), inner.top() + side + 0.5 * mm, inner.width(), lineHeight);
        Line(p, below, l.elementString, small);
    };
    return Print(sheet, static_cast<int>(labels.size()), "Lot labels", output, draw, error);
}

} // namespace tavel::labels
