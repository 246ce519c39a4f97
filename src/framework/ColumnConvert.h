#pragma once

// The moves of column values between a record buffer and a database engine, written once
// for every engine. An engine supplies a small adapter: a Sink to bind values, a Source
// to read the current row. Internal to the database service.

#include "RecordSql.h"

#include <cstring>

namespace tavel::db {

template <class T> T& ColumnAt(void* data, const ColumnDesc& c) {
    return *reinterpret_cast<T*>(static_cast<char*>(data) + c.offset);
}
template <class T> const T& ColumnAt(const void* data, const ColumnDesc& c) {
    return *reinterpret_cast<const T*>(static_cast<const char*>(data) + c.offset);
}

// Sink: Null(), Whole(long long), Real(double), Text(p, len, stable). stable is false when
// p points into a temporary the sink must copy. Empty text binds NULL outside key columns
// (Oracle stores '' as NULL); a null date binds NULL; dates go as ISO text.
template <class Sink> void WriteColumn(Sink& sink, const ColumnDesc& c, const void* data) {
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        sink.Whole(ColumnAt<long>(data, c));
        return;
    case ColType::Flag:
    case ColType::Count:
        sink.Whole(ColumnAt<short>(data, c));
        return;
    case ColType::Amount:
        sink.Real(ColumnAt<double>(data, c));
        return;
    case ColType::Date: {
        const WSIDate& d = ColumnAt<WSIDate>(data, c);
        if (d.IsNull()) {
            sink.Null();
            return;
        }
        char iso[16];
        FormatIsoDate(d, iso);
        sink.Text(iso, 10, false);
        return;
    }
    case ColType::Code:
    case ColType::Text: {
        const char* text = static_cast<const char*>(data) + c.offset;
        const std::size_t len = strnlen(text, c.width);
        if (len == 0 && !c.key)
            sink.Null();
        else
            sink.Text(text, len, true);
        return;
    }
    }
}

// Source (one value of the current row): IsNull(), Whole() -> long long, Real() -> double,
// Text() -> const char*, Length(code) -> bytes of Text() that count; code is true for a
// code column. NULL reads as 0, "" or the null date; text is cut to the column's width.
template <class Source> void ReadColumnFrom(const Source& src, const ColumnDesc& c, void* data) {
    const bool isNull = src.IsNull();
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        ColumnAt<long>(data, c) = isNull ? 0 : static_cast<long>(src.Whole());
        return;
    case ColType::Flag:
    case ColType::Count:
        ColumnAt<short>(data, c) = isNull ? 0 : static_cast<short>(src.Whole());
        return;
    case ColType::Amount:
        ColumnAt<double>(data, c) = isNull ? 0.0 : src.Real();
        return;
    case ColType::Date: {
        WSIDate d;
        if (!isNull)
            ParseIsoDate(src.Text(), d);
        ColumnAt<WSIDate>(data, c) = d;
        return;
    }
    case ColType::Code:
    case ColType::Text: {
        char* dst = static_cast<char*>(data) + c.offset;
        if (isNull) {
            dst[0] = '\0';
            return;
        }
        // Text before Length: an engine may only know the length once it has the text.
        const char* text = src.Text();
        CopyText(dst, static_cast<std::size_t>(c.width) + 1, text,
                 src.Length(c.type == ColType::Code));
        return;
    }
    }
}

// Fills the destination from the current row; sourceAt(i) gives the adapter for column i.
template <class SourceAt> void ReadResultFrom(int columns, SourceAt sourceAt, const WSIResult& r) {
    if (r.kind() == WSIResult::Kind::None || !r.target())
        return;
    if (r.kind() == WSIResult::Kind::Row) {
        const TableDesc* t = r.desc();
        const std::size_t n = t->count < static_cast<std::size_t>(columns)
                                  ? t->count
                                  : static_cast<std::size_t>(columns);
        for (std::size_t i = 0; i < n; ++i)
            ReadColumnFrom(sourceAt(static_cast<int>(i)), t->columns[i], r.target());
        return;
    }
    if (columns < 1)
        return;
    const auto src = sourceAt(0);
    const bool isNull = src.IsNull();
    switch (r.kind()) {
    case WSIResult::Kind::Long:
        *static_cast<long*>(r.target()) = isNull ? 0 : static_cast<long>(src.Whole());
        break;
    case WSIResult::Kind::Int:
        *static_cast<int*>(r.target()) = isNull ? 0 : static_cast<int>(src.Whole());
        break;
    case WSIResult::Kind::Short:
        *static_cast<short*>(r.target()) = isNull ? 0 : static_cast<short>(src.Whole());
        break;
    case WSIResult::Kind::Double:
        *static_cast<double*>(r.target()) = isNull ? 0.0 : src.Real();
        break;
    case WSIResult::Kind::Date: {
        WSIDate d;
        if (!isNull)
            ParseIsoDate(src.Text(), d);
        *static_cast<WSIDate*>(r.target()) = d;
        break;
    }
    case WSIResult::Kind::Text: {
        char* dst = static_cast<char*>(r.target());
        if (r.size() == 0)
            break;
        if (isNull) {
            dst[0] = '\0';
            break;
        }
        const char* text = src.Text();
        CopyText(dst, r.size(), text, src.Length(false));
        break;
    }
    case WSIResult::Kind::None:
    case WSIResult::Kind::Row:
        break;
    }
}

} // namespace tavel::db
