#include "BIException.h"
#include "ThrowDbError.h"

#include <gtest/gtest.h>
#include <set>
#include <typeindex>
#include <typeinfo>
#include <vector>

namespace {

struct Mapping {
    unsigned short number;
    std::type_index type;
};

// Table error number -> the exception the business layer must see for it.
// clang-format off
const std::vector<Mapping> kMapped = {
    {0x4001, typeid(RecordInUse)}, {0x4301, typeid(InvalidInvRec)},
    {0x4302, typeid(InvalidInvItemInvLoc)}, {0x4303, typeid(InvalidProduct)},
    {0x4304, typeid(InvalidOrderQuantity)}, {0x4305, typeid(InvalidBalance)},
    {0x4306, typeid(InvalidLocationFrom)}, {0x4307, typeid(InvalidInvOrdIt)},
    {0x4401, typeid(InvLocBarCodeErr)}, {0x4404, typeid(InvLocInactiveErr)},
    {0x4501, typeid(InvalidOrderedByLocation)}, {0x4502, typeid(InvalidOrderedFromLocation)},
    {0x4503, typeid(InvalidOrderType)}, {0x4504, typeid(InvalidOrderVendor)},
    {0x4505, typeid(InvalidOrderPO)}, {0x4506, typeid(InvalidOrderCannotBeSpecial)},
    {0x4507, typeid(InvalidOrderSameLocations)}, {0x4508, typeid(InvalidOrderDate)},
    {0x4601, typeid(InvalidOrderProduct)}, {0x4602, typeid(InvalidOrderDuplicateProduct)},
    {0x4603, typeid(NegativeQuantityErr)}, {0x4604, typeid(InvalidOrderSpecialComment)},
    {0x4605, typeid(InvalidOrderCannotOrderFrom)}, {0x4606, typeid(InvalidOrderProductNoReq)},
    {0x4607, typeid(InvalidOrderNumber)}, {0x4801, typeid(InvalidInvRecInvLoc)},
    {0x4802, typeid(InvalidInvRecVendor)}, {0x4803, typeid(InvalidInvRecPODate)},
    {0x4804, typeid(InvRecDeleteErr)}, {0x4805, typeid(InvalidInvRecDate)},
    {0x4901, typeid(PrdCatCodeErr)}, {0x4902, typeid(PrdCatInactiveErr)},
    {0x4A01, typeid(InvalidPrdLocMinCount)}, {0x4A02, typeid(InvalidPrdLocMaxCount)},
    {0x4A03, typeid(InvalidPrdLocStdOrder)}, {0x4A04, typeid(PrdLocInactive)},
    {0x4B01, typeid(PrdTypeDescriptionErr)}, {0x4C01, typeid(PrdUnitDescriptionErr)},
    {0x4C02, typeid(PrdUnitIsDividableErr)}, {0x4D01, typeid(ProductPrdCatErr)},
    {0x4D05, typeid(ProductProductCodeErr)}, {0x4D06, typeid(ProductUPCCodeErr)},
    {0x4D07, typeid(InvalidProductOrderType)}, {0x4D08, typeid(ProductLeadUnitErr)},
    {0x4D09, typeid(ProductUnitErr)}, {0x4D0A, typeid(ProductWeightUnitErr)},
    {0x4D0B, typeid(ProductCanOrderErr)}, {0x4D0C, typeid(ProductItemsPerUnitErr)},
    {0x4E01, typeid(VendorCityErr)}, {0x4E02, typeid(VendorProvinceErr)},
    {0x4E03, typeid(VendorInactiveErr)},
};
// clang-format on

TEST(ThrowDbError, EveryMappedNumber_ThrowsExactlyItsType) {
    for (const Mapping& m : kMapped) {
        SCOPED_TRACE(::testing::Message() << std::hex << "0x" << m.number);
        bool thrown = false;
        try {
            tavel::ThrowDbError(m.number);
        } catch (BIException& e) {
            thrown = true;
            EXPECT_EQ(std::type_index(typeid(e)), m.type) << typeid(e).name();
        }
        EXPECT_TRUE(thrown);
    }
}

TEST(ThrowDbError, UnmappedNumbers_ReturnFalseAndThrowNothing) {
    std::set<unsigned> mapped;
    for (const Mapping& m : kMapped)
        mapped.insert(m.number);
    // The generic write failures and 0x4405 are left to the caller's fallback, and so is
    // every number not in the table (neighbours of mapped ones included).
    std::vector<unsigned short> unmapped = {0,      0x4002, 0x4003, 0x4004, 0x4005, 0x4308,
                                            0x4402, 0x4405, 0x4509, 0x4D02, 0x4D0D, 0x4E04,
                                            0x4701, 0x0001, 0x4A05, 0xFFFF};
    for (unsigned short n : unmapped) {
        ASSERT_EQ(mapped.count(n), 0u);
        bool result = true;
        EXPECT_NO_THROW(result = tavel::ThrowDbError(n)) << std::hex << n;
        EXPECT_FALSE(result) << std::hex << n;
    }
}

} // namespace
