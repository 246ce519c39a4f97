#include "ThrowDbError.h"

#include "BIException.h"

namespace tavel {

bool ThrowDbError(unsigned short error) {
    TVL_TRACE("tavel::ThrowDbError");
    switch (error) {
    // Any table: the delete guard refused.
    case 0x4001:
        throw RecordInUse();
    // INVITEM
    case 0x4301:
        throw InvalidInvRec();
    case 0x4302:
        throw InvalidInvItemInvLoc();
    case 0x4303:
        throw InvalidProduct();
    case 0x4304:
        throw InvalidOrderQuantity();
    case 0x4305:
        throw InvalidBalance();
    case 0x4306:
        throw InvalidLocationFrom();
    case 0x4307:
        throw InvalidInvOrdIt();
    // INVLOC
    case 0x4401:
        throw InvLocBarCodeErr();
    case 0x4404:
        throw InvLocInactiveErr();
    // INVORDER
    case 0x4501:
        throw InvalidOrderedByLocation();
    case 0x4502:
        throw InvalidOrderedFromLocation();
    case 0x4503:
        throw InvalidOrderType();
    case 0x4504:
        throw InvalidOrderVendor();
    case 0x4505:
        throw InvalidOrderPO();
    case 0x4506:
        throw InvalidOrderCannotBeSpecial();
    case 0x4507:
        throw InvalidOrderSameLocations();
    case 0x4508:
        throw InvalidOrderDate();
    // INVORDIT
    case 0x4601:
        throw InvalidOrderProduct();
    case 0x4602:
        throw InvalidOrderDuplicateProduct();
    case 0x4603:
        throw NegativeQuantityErr();
    case 0x4604:
        throw InvalidOrderSpecialComment();
    case 0x4605:
        throw InvalidOrderCannotOrderFrom();
    case 0x4606:
        throw InvalidOrderProductNoReq();
    case 0x4607:
        throw InvalidOrderNumber();
    // INVREC
    case 0x4801:
        throw InvalidInvRecInvLoc();
    case 0x4802:
        throw InvalidInvRecVendor();
    case 0x4803:
        throw InvalidInvRecPODate();
    case 0x4804:
        throw InvRecDeleteErr();
    case 0x4805:
        throw InvalidInvRecDate();
    // PRDCAT
    case 0x4901:
        throw PrdCatCodeErr();
    case 0x4902:
        throw PrdCatInactiveErr();
    // PRDLOC
    case 0x4A01:
        throw InvalidPrdLocMinCount();
    case 0x4A02:
        throw InvalidPrdLocMaxCount();
    case 0x4A03:
        throw InvalidPrdLocStdOrder();
    case 0x4A04:
        throw PrdLocInactive();
    // PRDTYPE
    case 0x4B01:
        throw PrdTypeDescriptionErr();
    // PRDUNIT
    case 0x4C01:
        throw PrdUnitDescriptionErr();
    case 0x4C02:
        throw PrdUnitIsDividableErr();
    // PRODUCT
    case 0x4D01:
        throw ProductPrdCatErr();
    case 0x4D05:
        throw ProductProductCodeErr();
    case 0x4D06:
        throw ProductUPCCodeErr();
    case 0x4D07:
        throw InvalidProductOrderType();
    case 0x4D08:
        throw ProductLeadUnitErr();
    case 0x4D09:
        throw ProductUnitErr();
    case 0x4D0A:
        throw ProductWeightUnitErr();
    case 0x4D0B:
        throw ProductCanOrderErr();
    case 0x4D0C:
        throw ProductItemsPerUnitErr();
    // VENDOR
    case 0x4E01:
        throw VendorCityErr();
    case 0x4E02:
        throw VendorProvinceErr();
    case 0x4E03:
        throw VendorInactiveErr();
    default:
        return false;
    }
}

} // namespace tavel
