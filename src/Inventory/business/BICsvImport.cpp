#include "BICsvImport.h"

#include "BIException.h"
#include "BIInvCount.h"
#include "BIInventory.h"
#include "BoundedFormat.h"
#include "Clock.h"
#include "CsvFile.h"
#include "DBInvLoc.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "RecordSql.h"
#include "Records.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <istream>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace tavel::csv {

using tables::CopyText;
using tables::MaxQuantityAllowed;

namespace {

// Message codes of the import's own refusals.
enum Msg : unsigned {
    kWrongHeader = 40300,
    kSemicolons = 40301,
    kEmptyLine = 40302,
    kFieldCount = 40303,
    kNotUtf8 = 40304,
    kNotCsv = 40305,
    kNotWhole = 40306,
    kNotFlag = 40307,
    kNotAmount = 40308,
    kNotDate = 40309,
    kTooLong = 40310,
    kDuplicate = 40311,
    kNoProduct = 40312,
    kNoLocation = 40313,
    kNoCountCode = 40314,
    kNotWritten = 40315,
    kNotAtLocation = 40316,
    kImported = 40400,
    kImportedSkipping = 40401,
    kChecked = 40402,
    kNothingImported = 40403,
    kNotWrittenSkipped = 40404,
};

// The product's column that names it in files which refer to a product.
constexpr const char* kProductCodeColumn = "ProductCode";

std::string Text(unsigned code) {
    char buf[kBIMessageSize];
    LoadBusinessMessage(code, false, buf);
    if (buf[0] == '\0')
        return "message " + std::to_string(code);
    return buf;
}

template <class... A> std::string Filled(unsigned code, A... args) {
    char text[1024];
    TVL_FORMAT(text, Text(code).c_str(), args...);
    return text;
}

// The columns of a kind's files: the table's, less those the program keeps itself (stock
// figures), with the product id shown as its code where a file refers to a product.
struct KindInfo {
    ListKind kind;
    const char* name;
    const TableDesc* (*table)();
    const char* const* left; // columns not in the file, null-terminated
    bool productByCode;
};

const char* const kProductLeft[] = {"AverageCost", nullptr};
const char* const kPrdLocLeft[] = {"Balance", "LastCount", "LastCountDate", nullptr};
const char* const kNothingLeft[] = {nullptr};

const KindInfo kKinds[] = {
    {ListKind::Products, "products", [] { return &WSIProduct::Table(); }, kProductLeft, false},
    {ListKind::Vendors, "vendors", [] { return &WSIVendor::Table(); }, kNothingLeft, false},
    {ListKind::Locations, "locations", [] { return &WSIInvLoc::Table(); }, kNothingLeft, false},
    {ListKind::ProductLocations, "product-locations", [] { return &WSIPrdLoc::Table(); },
     kPrdLocLeft, true},
    {ListKind::Counts, "counts", nullptr, kNothingLeft, false},
};

const char* const kCountColumns[] = {"InvLoc", kProductCodeColumn, "Count"};

const KindInfo& InfoOf(ListKind kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind)
            return k;
    return kKinds[0];
}

bool IsLeftOut(const KindInfo& info, const char* column) {
    for (const char* const* l = info.left; *l; ++l)
        if (std::strcmp(*l, column) == 0)
            return true;
    return false;
}

struct FileColumn {
    const ColumnDesc* column; // null for the count file's columns
    std::string header;
    bool byCode = false; // the product id, written as the product's code
};

std::vector<FileColumn> FileColumns(const KindInfo& info) {
    std::vector<FileColumn> out;
    if (!info.table) {
        for (const char* name : kCountColumns)
            out.push_back({nullptr, name});
        return out;
    }
    const TableDesc& t = *info.table();
    for (std::size_t i = 0; i < t.count; ++i) {
        const ColumnDesc& c = t.columns[i];
        if (IsLeftOut(info, c.name))
            continue;
        const bool byCode = info.productByCode && std::strcmp(c.name, "Product") == 0;
        out.push_back({&c, byCode ? kProductCodeColumn : c.name, byCode});
    }
    return out;
}

std::string Trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return "";
    const auto e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string JoinHeader(const std::vector<FileColumn>& columns) {
    std::string out;
    for (const FileColumn& c : columns)
        out += (out.empty() ? "" : ",") + c.header;
    return out;
}

bool ParseWhole(const std::string& text, long long low, long long high, long long& value) {
    const std::string t = Trimmed(text);
    long long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v < low || v > high)
        return false;
    value = v;
    return true;
}

// Puts a field into its column; 0, or the message code of what is wrong with it (arg set
// for a message that takes a number).
unsigned ToColumn(const std::string& text, const ColumnDesc& c, void* data, long& arg) {
    char* at = static_cast<char*>(data) + c.offset;
    switch (c.type) {
    case ColType::Id:
    case ColType::Int: {
        long long v = 0;
        if (Trimmed(text).empty()) {
            *reinterpret_cast<long*>(at) = 0;
            return 0;
        }
        if (!ParseWhole(text, 0, std::numeric_limits<int>::max(), v)) {
            arg = std::numeric_limits<int>::max();
            return kNotWhole;
        }
        *reinterpret_cast<long*>(at) = static_cast<long>(v);
        return 0;
    }
    case ColType::Flag: {
        long long v = 0;
        if (!ParseWhole(text, 0, 1, v))
            return kNotFlag;
        *reinterpret_cast<short*>(at) = static_cast<short>(v);
        return 0;
    }
    case ColType::Count: {
        long long v = 0;
        if (!ParseWhole(text, std::numeric_limits<short>::min(), std::numeric_limits<short>::max(),
                        v)) {
            arg = std::numeric_limits<short>::max();
            return kNotWhole;
        }
        *reinterpret_cast<short*>(at) = static_cast<short>(v);
        return 0;
    }
    case ColType::Amount: {
        const std::string t = Trimmed(text);
        double v = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() ||
            !BIInventory::IsValidCost(v))
            return kNotAmount;
        *reinterpret_cast<double*>(at) = v;
        return 0;
    }
    case ColType::Date: {
        WSIDate d;
        if (!Trimmed(text).empty() && !ParseEntryDate(text, DateForm::Iso, d))
            return kNotDate;
        *reinterpret_cast<WSIDate*>(at) = d;
        return 0;
    }
    case ColType::Code:
    case ColType::Text:
        if (!IsUtf8(text))
            return kNotUtf8;
        if (text.size() > c.width) {
            arg = c.width;
            return kTooLong;
        }
        std::memcpy(at, text.data(), text.size());
        at[text.size()] = '\0';
        return 0;
    }
    return kNotWhole;
}

std::string FromColumn(const ColumnDesc& c, const void* data) {
    const char* at = static_cast<const char*>(data) + c.offset;
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        return std::to_string(*reinterpret_cast<const long*>(at));
    case ColType::Flag:
    case ColType::Count:
        return std::to_string(*reinterpret_cast<const short*>(at));
    case ColType::Amount: {
        // The shortest text that reads back as the same number, always with a dot.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, *reinterpret_cast<const double*>(at));
        return std::string(buf, r.ptr);
    }
    case ColType::Date: {
        const WSIDate& d = *reinterpret_cast<const WSIDate*>(at);
        if (d.IsNull())
            return "";
        char iso[16];
        db::FormatIsoDate(d, iso);
        return iso;
    }
    case ColType::Code:
    case ColType::Text:
        return std::string(at, strnlen(at, c.width));
    }
    return "";
}

// Aborts the import's unit of work unless it was ended.
class ImportWork {
public:
    explicit ImportWork(WSIDatabase& db) : db_(db), level_(db.TransactionLevel()) {
        db_.TransactionBegin();
    }
    ~ImportWork() {
        if (!ended_)
            AbortTransactionsAbove(&db_, level_);
    }
    void Commit() {
        ended_ = true;
        EndTransaction(&db_);
    }
    void Abort() {
        ended_ = true;
        AbortTransactionsAbove(&db_, level_);
    }

private:
    WSIDatabase& db_;
    int level_;
    bool ended_ = false;
};

// The table rule behind a refusal, by the column it checks.
struct RuleColumn {
    std::uint16_t error;
    const char* column;
};
constexpr RuleColumn kRuleColumns[] = {
    {0x4D01, "PrdCat"},     {0x4D05, "ProductCode"},  {0x4D06, "UPCCode"},
    {0x4D07, "InvOType"},   {0x4D08, "LeadTimeUnit"}, {0x4D09, "Unit"},
    {0x4D0A, "WeightUnit"}, {0x4D0C, "ItemsPerUnit"}, {0x4E01, "City"},
    {0x4E02, "Province"},   {0x4401, "BarCode"},      {0x4405, "InvLoc"},
    {0x4A01, "MinCount"},   {0x4A02, "MaxCount"},     {0x4A03, "StdToOrder"},
    {0x4A04, "Inactive"},
};

const char* RuleColumnOf(std::uint16_t error) {
    for (const RuleColumn& r : kRuleColumns)
        if (r.error == error)
            return r.column;
    return "";
}

long ProductByCode(WSIDatabase& db, const std::string& code) {
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT "Product" FROM PRODUCT WHERE "ProductCode" = '%s')sql",
               EscapeQuotes(code.c_str()).c_str());
    long id = 0;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &id, sql);
    return cursor->GetFirst() ? id : 0;
}

std::map<long, std::string> ProductCodes(WSIDatabase& db) {
    std::map<long, std::string> out;
    struct Row {
        long Product;
        char ProductCode[ColWidth::ProductCode + 1];
    } row{};
    static const ColumnDesc kCols[] = {
        TVL_COL(Row, Product, Id, 0, true),
        TVL_COL(Row, ProductCode, Text, ColWidth::ProductCode, false),
    };
    static const TableDesc kDesc{"PRODUCT", kCols, 2, sizeof(Row)};
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(kDesc, &row),
                 R"sql(SELECT "Product", "ProductCode" FROM PRODUCT)sql");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        out[row.Product] = row.ProductCode;
    return out;
}

// Reads the file row by row: the header first, then each data row handed to `row` with
// its fields checked for count. Problems of the file itself end the reading.
class Reader {
public:
    Reader(std::vector<FileColumn> columns, ImportReport& report)
        : columns_(std::move(columns)), report_(report) {}

    template <class OnRow> void Run(std::istream& in, OnRow&& onRow) {
        bool header = true;
        std::string problem;
        long problemLine = 0;
        const bool wellFormed = ReadRows(
            in,
            [&](const Row& r) {
                if (header) {
                    header = false;
                    return CheckHeader(r);
                }
                ++report_.rows;
                if (r.fields.empty()) {
                    Add(r.line, "", kEmptyLine, Text(kEmptyLine));
                    return true;
                }
                if (r.fields.size() != columns_.size()) {
                    Add(r.line, "", kFieldCount,
                        Filled(kFieldCount, static_cast<int>(r.fields.size()),
                               static_cast<int>(columns_.size())));
                    return true;
                }
                onRow(r);
                return true;
            },
            problem, problemLine);
        if (header && wellFormed && !headerRefused_)
            Add(1, "", kWrongHeader, Filled(kWrongHeader, JoinHeader(columns_).c_str()));
        if (!wellFormed) {
            fileRefused_ = true;
            Add(problemLine, "", kNotCsv, Text(kNotCsv));
        }
    }

    bool FileRefused() const { return fileRefused_ || headerRefused_; }
    void Add(long line, const std::string& column, unsigned code, const std::string& message) {
        report_.problems.push_back({line, column, code, message});
    }

private:
    bool CheckHeader(const Row& r) {
        bool same = r.fields.size() == columns_.size();
        for (std::size_t i = 0; same && i < columns_.size(); ++i)
            same = SameName(Trimmed(r.fields[i]), columns_[i].header);
        if (same)
            return true;
        headerRefused_ = true;
        if (r.fields.size() == 1 && r.fields[0].find(';') != std::string::npos)
            Add(r.line, "", kSemicolons, Text(kSemicolons));
        else if (!r.fields.empty() &&
                 !std::all_of(r.fields.begin(), r.fields.end(), [](auto& f) { return IsUtf8(f); }))
            Add(r.line, "", kNotUtf8, Text(kNotUtf8));
        else
            Add(r.line, "", kWrongHeader, Filled(kWrongHeader, JoinHeader(columns_).c_str()));
        return false;
    }

    std::vector<FileColumn> columns_;
    ImportReport& report_;
    bool fileRefused_ = false;
    bool headerRefused_ = false;
};

// Rows of a catalogue table: each field into its column, the key not yet taken, then the
// table class's own rules as it inserts.
template <class Table>
void ImportTable(WSIDatabase& db, const KindInfo& info, std::istream& in, ImportReport& report,
                 Reader& reader, bool skipBad) {
    const std::vector<FileColumn> columns = FileColumns(info);
    Table table(&db);
    reader.Run(in, [&](const Row& r) {
        table.InitRecord();
        bool good = true;
        for (std::size_t i = 0; i < columns.size() && good; ++i) {
            const FileColumn& fc = columns[i];
            if (fc.byCode) {
                const long id = ProductByCode(db, r.fields[i]);
                if (id == 0) {
                    reader.Add(r.line, fc.header, kNoProduct, Text(kNoProduct));
                    good = false;
                    break;
                }
                *reinterpret_cast<long*>(reinterpret_cast<char*>(&table.data) + fc.column->offset) =
                    id;
                continue;
            }
            long arg = 0;
            if (const unsigned m = ToColumn(r.fields[i], *fc.column, &table.data, arg)) {
                reader.Add(r.line, fc.header, m, arg ? Filled(m, static_cast<int>(arg)) : Text(m));
                good = false;
            }
        }
        if (!good)
            return;
        // A key given in the file must be free (an id left empty gets a new one).
        bool keyGiven = true;
        for (const FileColumn& fc : columns)
            if (fc.column->key && fc.column->type == ColType::Id &&
                *reinterpret_cast<const long*>(reinterpret_cast<const char*>(&table.data) +
                                               fc.column->offset) == 0)
                keyGiven = false;
        if (keyGiven) {
            Table probe(table);
            if (probe.GetEqual(__FILE__, __LINE__)) {
                std::string key;
                for (std::size_t i = 0; i < columns.size(); ++i)
                    if (columns[i].column->key)
                        key += (key.empty() ? "" : " ") + r.fields[i];
                reader.Add(r.line, columns.front().header, kDuplicate,
                           Filled(kDuplicate, key.c_str()));
                return;
            }
        }
        if (!table.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true)) {
            const int code = table.GetMessageCode();
            const unsigned shown =
                code ? static_cast<unsigned>(code) : (skipBad ? kNotWrittenSkipped : kNotWritten);
            reader.Add(r.line, RuleColumnOf(table.GetError()), shown,
                       table.GetMessageArg() ? Filled(shown, table.GetMessageArg()) : Text(shown));
            return;
        }
        ++report.good;
    });
}

bool LocationExists(WSIDatabase& db, const std::string& code) {
    WSIInvLoc loc(&db);
    loc.InitRecord();
    if (code.size() > ColWidth::InvLoc)
        return false;
    CopyText(loc.data.InvLoc, code.c_str());
    return loc.GetEqual(__FILE__, __LINE__);
}

// Counts: one count batch, each row counted as the count screen counts a scanned product.
void ImportCounts(WSIDatabase& db, std::istream& in, ImportReport& report, Reader& reader,
                  bool& aborted) {
    const std::string code = BIInvCount::DefaultCountCode(db);
    if (code.empty()) {
        reader.Add(0, "", kNoCountCode, Text(kNoCountCode));
        aborted = true;
        return;
    }
    BIInvCount count(&db);
    bool batchOpen = false;
    std::set<std::pair<std::string, long>> seen;
    reader.Run(in, [&](const Row& r) {
        if (aborted)
            return;
        const std::string loc = Trimmed(r.fields[0]);
        if (!IsUtf8(loc) || !LocationExists(db, loc)) {
            reader.Add(r.line, kCountColumns[0], kNoLocation, Text(kNoLocation));
            return;
        }
        const long product = ProductByCode(db, r.fields[1]);
        if (product == 0) {
            reader.Add(r.line, kCountColumns[1], kNoProduct, Text(kNoProduct));
            return;
        }
        long long counted = 0;
        if (!ParseWhole(r.fields[2], 0, MaxQuantityAllowed(), counted)) {
            reader.Add(r.line, kCountColumns[2], kNotWhole,
                       Filled(kNotWhole, static_cast<int>(MaxQuantityAllowed())));
            return;
        }
        if (!seen.insert({loc, product}).second) {
            reader.Add(r.line, kCountColumns[1], kDuplicate,
                       Filled(kDuplicate, (loc + " " + r.fields[1]).c_str()));
            return;
        }
        DBPrdLoc prdLoc(&db);
        if (!prdLoc.IsProductAtLocation(product, loc.c_str())) {
            reader.Add(r.line, kCountColumns[1], kNotAtLocation, Text(kNotAtLocation));
            return;
        }
        if (!batchOpen) {
            count.InitBatch(loc.c_str(), "");
            batchOpen = true;
        }
        try {
            count.CountProduct(loc.c_str(), product, static_cast<short>(counted), code.c_str());
            ++report.good;
        } catch (BIException& e) {
            // The movement left its work half done: nothing of the file can be kept.
            reader.Add(r.line, kCountColumns[1], 0, e.GetErrMsg(false));
            aborted = true;
        }
    });
    if (batchOpen)
        count.CloseBatch();
}

} // namespace

bool ParseListKind(const std::string& name, ListKind& kind) {
    for (const KindInfo& k : kKinds)
        if (name == k.name) {
            kind = k.kind;
            return true;
        }
    return false;
}

const char* ListKindName(ListKind kind) {
    return InfoOf(kind).name;
}

std::vector<std::string> ListColumns(ListKind kind) {
    std::vector<std::string> out;
    for (const FileColumn& c : FileColumns(InfoOf(kind)))
        out.push_back(c.header);
    return out;
}

ImportReport ImportList(WSIDatabase& db, ListKind kind, std::istream& in,
                        const ImportOptions& options) {
    ImportReport report;
    const KindInfo& info = InfoOf(kind);
    Reader reader(FileColumns(info), report);
    ImportWork work(db);
    bool aborted = false;
    try {
        switch (kind) {
        case ListKind::Products:
            ImportTable<DBProduct>(db, info, in, report, reader, options.skipBad);
            break;
        case ListKind::Vendors:
            ImportTable<DBVendor>(db, info, in, report, reader, options.skipBad);
            break;
        case ListKind::Locations:
            ImportTable<DBInvLoc>(db, info, in, report, reader, options.skipBad);
            break;
        case ListKind::ProductLocations:
            ImportTable<DBPrdLoc>(db, info, in, report, reader, options.skipBad);
            break;
        case ListKind::Counts:
            ImportCounts(db, in, report, reader, aborted);
            break;
        }
    } catch (BIException& e) {
        reader.Add(0, "", 0, e.GetErrMsg(false));
        aborted = true;
    }
    report.writable = !aborted && !reader.FileRefused() &&
                      (report.problems.empty() || options.skipBad) && report.good > 0;
    const bool keep = report.writable && !options.dryRun;
    if (!keep) {
        work.Abort();
        return report;
    }
    work.Commit();
    report.written = true;
    report.imported = report.good;
    return report;
}

std::string ReportSummary(const ImportReport& report, const ImportOptions& options) {
    const long bad = static_cast<long>(report.problems.size());
    if (report.written)
        return Filled(bad ? kImportedSkipping : kImported, report.imported, report.rows);
    if (options.dryRun && bad == 0)
        return Filled(kChecked, report.rows);
    return Filled(kNothingImported, report.rows, bad);
}

namespace {

// Every row of a table by its key, each column through `field`.
template <class Field>
std::string ExportRows(WSIDatabase& db, const TableDesc& table,
                       const std::vector<FileColumn>& columns, Field&& field) {
    std::string out;
    std::vector<std::string> header;
    for (const FileColumn& c : columns)
        header.push_back(c.header);
    AppendRow(out, header);
    std::string order;
    for (std::size_t i = 0; i < table.count; ++i)
        if (table.columns[i].key)
            order += std::string(order.empty() ? "" : ", ") + "\"" + table.columns[i].name + "\"";
    std::vector<std::max_align_t> buffer(table.dataSize / sizeof(std::max_align_t) + 1);
    char sql[4096];
    TVL_FORMAT(sql, "SELECT %s FROM %s ORDER BY %s",
               db.GetTableColumns(__LINE__, __FILE__, table.name), table.name, order.c_str());
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(table, buffer.data()), sql);
    std::vector<std::string> row;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        row.clear();
        for (const FileColumn& c : columns)
            row.push_back(field(c, buffer.data()));
        AppendRow(out, row);
    }
    return out;
}

} // namespace

std::string ExportTable(WSIDatabase& db, const TableDesc& table) {
    std::vector<FileColumn> columns;
    for (std::size_t i = 0; i < table.count; ++i)
        columns.push_back({&table.columns[i], table.columns[i].name});
    return ExportRows(db, table, columns, [](const FileColumn& c, const void* data) {
        return FromColumn(*c.column, data);
    });
}

std::string ExportList(WSIDatabase& db, ListKind kind) {
    const KindInfo& info = InfoOf(kind);
    const std::map<long, std::string> codes =
        kind == ListKind::ProductLocations || kind == ListKind::Counts
            ? ProductCodes(db)
            : std::map<long, std::string>{};
    auto codeOf = [&](long id) {
        const auto it = codes.find(id);
        return it == codes.end() ? std::string() : it->second;
    };
    if (kind != ListKind::Counts)
        return ExportRows(db, *info.table(), FileColumns(info),
                          [&](const FileColumn& c, const void* data) {
                              if (c.byCode)
                                  return codeOf(*reinterpret_cast<const long*>(
                                      static_cast<const char*>(data) + c.column->offset));
                              return FromColumn(*c.column, data);
                          });
    // Counts: the last count of every product location that was counted.
    std::string out;
    AppendRow(out, ListColumns(kind));
    WSIPrdLoc::WSIData pl{};
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM PRDLOC WHERE "LastCountDate" IS NOT NULL AND "InvLoc" <> ' ' ORDER BY "InvLoc", "Product")sql",
        db.GetTableColumns(__LINE__, __FILE__, "PRDLOC"));
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIPrdLoc::Table(), &pl), sql);
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        char count[32];
        TVL_FORMAT(count, "%ld", std::lround(pl.LastCount));
        AppendRow(out, {pl.InvLoc, codeOf(pl.Product), count});
    }
    return out;
}

} // namespace tavel::csv
