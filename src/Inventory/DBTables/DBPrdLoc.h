#pragma once

#include "Records.h"
#include "dbTable.h"

// PRDLOC: one row per product and location, plus each product's default row (empty
// location code) that new rows start from. Stock levels must be consistent, and a row
// that still holds stock can be neither made inactive nor deleted.
class DBPrdLoc : public dbTable<WSIPrdLoc> {
public:
    explicit DBPrdLoc(WSIDatabase* db);

    // Whether the product has an active row at the location.
    bool IsProductAtLocation(long product, const char* invLoc);
    // Loads the product's default row, creating it first when it is missing.
    bool GetDefaults(long product);
    // Loads the product's row at the location; with `create` a missing row is made from
    // the defaults. Never changes an existing row.
    bool GetPrdLoc(long product, const char* invLoc, bool create);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;

private:
    // Inserts the row now in the record; re-reads it where the engine assigns values.
    bool InsertNewRow();
};
