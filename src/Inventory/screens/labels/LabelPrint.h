#pragma once

// Label sheets drawn with Qt: each bar code is encoded by libzint and painted from its
// vector output, so that a PDF or a printer gets sharp modules at any resolution.

#include "BILabels.h"
#include "ReportRender.h"

#include <QRectF>
#include <QSizeF>

#include <string>
#include <vector>

class QPainter;

namespace tavel::labels {

// One encoded symbol: its dark modules in the library's units, and its whole size.
struct Symbol {
    std::vector<QRectF> modules;
    QSizeF size;
    std::string data;  // what was handed to the library
    std::string error; // the library's reason when encoding failed
    bool Ok() const { return error.empty() && !modules.empty(); }
};

Symbol EncodeCode128(const std::string& data);
// The element string in its "(01)...(17)...(10)..." form, encoded with FNC1 as GS1 asks.
Symbol EncodeGs1DataMatrix(const std::string& elementString);

// Paints the symbol into target: scaled to fill it (square modules when keepAspect).
void PaintSymbol(QPainter& painter, const Symbol& symbol, const QRectF& target, bool keepAspect);

// One label per entry, in order, across as many sheets as they need. Pdf, Printer and
// Preview outputs as the report engine has them. False with error on failure.
bool PrintBinLabels(const std::vector<BinLabel>& labels, const LabelSheet& sheet,
                    const tavel::report::ReportOutput& output, std::string& error);
bool PrintLotLabels(const std::vector<LotLabel>& labels, const LabelSheet& sheet,
                    const tavel::report::ReportOutput& output, std::string& error);

} // namespace tavel::labels
