#include "TableLookup.h"

#include "InventoryModule.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace tavel::tables {

namespace {
// The handler's settings before the suite options are read.
constexpr unsigned kInitialMinProductLength = 6;
constexpr unsigned kInitialMaxQuantityAllowed = 9999;
} // namespace

bool FetchFirst(WSIDatabase* db, const char* sql, WSIResult into, std::source_location where) {
    TVL_TRACE("tavel::tables::FetchFirst");
    if (!db)
        return false;
    std::unique_ptr<WSITable> cursor =
        db->Query(where.file_name(), static_cast<int>(where.line()), "%s", into, sql);
    return cursor && cursor->GetFirst();
}

long CountOf(WSIDatabase* db, const char* sql, std::source_location where) {
    TVL_TRACE("tavel::tables::CountOf");
    if (!db)
        return 0;
    long count = 0;
    std::unique_ptr<WSITable> cursor =
        db->Query(where.file_name(), static_cast<int>(where.line()), "%s", &count, sql);
    long largest = 0;
    if (cursor) {
        for (bool row = cursor->GetFirst(); row; row = cursor->GetNext())
            largest = std::max(largest, count);
    }
    return largest;
}

Activity ActivityOf(WSIDatabase* db, const char* sql, std::source_location where) {
    TVL_TRACE("tavel::tables::ActivityOf");
    short inactive = 0;
    if (!FetchFirst(db, sql, &inactive, where))
        return Activity::Missing;
    return inactive ? Activity::Inactive : Activity::Active;
}

bool IsValidDate(const WSIDate& date) {
    TVL_TRACE("tavel::tables::IsValidDate");
    using namespace std::chrono;
    return !date.IsNull() &&
           year_month_day{year{date.year}, month{static_cast<unsigned>(date.month)},
                          day{static_cast<unsigned>(date.day)}}
               .ok();
}

bool IsAfter(const WSIDate& date, const WSIDate& other) {
    TVL_TRACE("tavel::tables::IsAfter");
    if (date.year != other.year)
        return date.year > other.year;
    if (date.month != other.month)
        return date.month > other.month;
    return date.day > other.day;
}

void CopyText(char* dst, std::size_t size, const char* src) {
    TVL_TRACE("tavel::tables::CopyText");
    if (size == 0)
        return;
    std::size_t n = src ? std::min(std::strlen(src), size - 1) : 0;
    if (n)
        std::memcpy(dst, src, n);
    dst[n] = '\0';
}

unsigned MinProductLength() {
    TVL_TRACE("tavel::tables::MinProductLength");
    WSIInventoryApp* app = CurrentInventoryApp();
    return app ? app->GetMinProductLength() : kInitialMinProductLength;
}

unsigned MaxQuantityAllowed() {
    TVL_TRACE("tavel::tables::MaxQuantityAllowed");
    WSIInventoryApp* app = CurrentInventoryApp();
    return app ? app->GetMaxQuantityAllowed() : kInitialMaxQuantityAllowed;
}

} // namespace tavel::tables
