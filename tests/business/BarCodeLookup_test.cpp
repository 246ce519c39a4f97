// The product a scan names: by product code first, then by the forms of its GTIN that a
// catalogue may hold as UPC code.

#include "BIInventory.h"
#include "StockFixture.h"
#include "WSIBarCodeFuncs.h"

#include <memory>
#include <string>

namespace {

class BarCodeLookupTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        gauze = AddWithUpc("GAUZE", "9506000134352");        // GTIN-13
        tape = AddWithUpc("TAPE", "036000291452");           // UPC-A
        caseOfTape = AddWithUpc("TAPE10", "10036000291459"); // a case, GTIN-14
        swab = AddWithUpc("SWAB", "96385074");               // EAN-8
        bi = std::make_unique<BIInventory>(db.get());
    }

    long AddWithUpc(const char* code, const char* upc) {
        WSIProduct::WSIData p = NewProduct(code);
        Put(p.UPCCode, upc);
        return StoreProduct(p);
    }

    // The product found for a scanned text, checking that it is also the current one.
    long Find(const std::string& text) {
        WSIBarCodeFuncs scan;
        scan.ScanBarCode(text.c_str(), 3);
        const long found = bi->FindProductByBarCode(scan);
        long current = -1;
        bi->GetProductId(current);
        EXPECT_EQ(current, found) << text;
        return found;
    }

    std::unique_ptr<BIInventory> bi;
    long gauze = 0, tape = 0, caseOfTape = 0, swab = 0;
};

TEST_F(BarCodeLookupTest, FindsEachStoredFormOfAScannedCode) {
    const struct {
        std::string text;
        long product;
    } cases[] = {
        {"GAUZE", gauze},                              // product code
        {"9506000134352", gauze},                      // UPC code as stored
        {"(01)09506000134352(17)271231(10)L1", gauze}, // GTIN-13 stored
        {"]C10100036000291452", tape},                 // UPC-A stored
        {"0036000291452", tape},                       // EAN-13 of a UPC-A
        {"]d20110036000291459"
         "10X",
         caseOfTape},                 // GTIN-14 stored
        {"(01)00000096385074", swab}, // EAN-8 stored
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.text), c.product) << c.text;
}

TEST_F(BarCodeLookupTest, FindsNothingForOtherItemsAndRefusedScans) {
    // A case of another size is not the unit inside it.
    EXPECT_EQ(Find("(01)20036000291456"), 0);
    EXPECT_EQ(Find("(01)04006381333931"), 0);
    // Refused data names no product, even when its digits would match one.
    EXPECT_EQ(Find("(01)09506000134353"), 0);
    EXPECT_EQ(Find(std::string(4000, '7')), 0);
    // A product found before does not stay current after a failed look-up.
    ASSERT_EQ(Find("GAUZE"), gauze);
    EXPECT_EQ(Find("NOPE"), 0);
}

} // namespace
