#pragma once

// TEMPORARY local stand-in for the framework's bar-code parser, with the same interface,
// so that the scan screens build before the parser lands. It takes every text as a plain
// product code. Deleted when the framework's header is merged.

#include <string>
#include <utility>
#include <vector>

struct WSIBarCodeFields {
    bool isGs1 = false;
    std::string gtin;
    std::string lot;
    std::string serial;
    int expiryYear = 0, expiryMonth = 0, expiryDay = 0;
    bool hasExpiry = false;
    long count = 0;
    bool hasCount = false;
    std::vector<std::pair<std::string, std::string>> elements;
    std::string error;
    unsigned errorCode = 0;
};

class WSIBarCodeFuncs {
public:
    bool ScanBarCode(const char* text, int) {
        raw_ = text ? std::string(text).substr(0, 4000) : std::string();
        product_ = raw_;
        fields_ = {};
        return !product_.empty();
    }
    const char* GetProduct() const { return product_.c_str(); }
    const WSIBarCodeFields& Fields() const { return fields_; }
    const std::string& Raw() const { return raw_; }

private:
    std::string raw_;
    std::string product_;
    WSIBarCodeFields fields_;
};
