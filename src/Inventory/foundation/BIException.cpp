#include "BIException.h"

#include "InventoryModule.h"
#include "WSIApplication.h"
#include "WSIInventoryApp.h"

#include <algorithm>
#include <cstring>

BIException::BIException() {
    TVL_TRACE("BIException::BIException");
    m_szErrMsg[0] = '\0';
}

BIException::BIException(const BIException& other) {
    TVL_TRACE("BIException::BIException");
    std::memcpy(m_szErrMsg, other.m_szErrMsg, sizeof m_szErrMsg);
}

BIException::BIException(BIException&& other) {
    TVL_TRACE("BIException::BIException");
    std::memcpy(m_szErrMsg, other.m_szErrMsg, sizeof m_szErrMsg);
}

BIException& BIException::operator=(const BIException& other) {
    TVL_TRACE("BIException::operator=");
    if (this != &other)
        std::memcpy(m_szErrMsg, other.m_szErrMsg, sizeof m_szErrMsg);
    return *this;
}

BIException& BIException::operator=(BIException&& other) {
    TVL_TRACE("BIException::operator=");
    if (this != &other)
        std::memcpy(m_szErrMsg, other.m_szErrMsg, sizeof m_szErrMsg);
    return *this;
}

BIException::~BIException() {
    TVL_TRACE("BIException::~BIException");
}

namespace tavel {

char* LoadBusinessMessage(unsigned code, bool suffix, char* buf) {
    TVL_TRACE("tavel::LoadBusinessMessage");
    buf[0] = '\0';
    WSIInventoryApp* handler = CurrentInventoryApp();
    WSIApplication* host = handler ? handler->GetHostApplication() : nullptr;
    if (!host)
        return buf;
    host->LoadString(code, buf, static_cast<int>(kBIMessageSize));
    if (suffix) {
        char tail[kBISuffixSize];
        tail[0] = '\0';
        host->LoadString(kBIMessageSuffixCode, tail, static_cast<int>(sizeof tail));
        // The suffix gives way to the message: cut it so that the buffer never overruns.
        std::size_t used = std::strlen(buf);
        std::size_t room = kBIMessageSize - 1 - used;
        std::size_t n = std::min(std::strlen(tail), room);
        std::memcpy(buf + used, tail, n);
        buf[used + n] = '\0';
    }
    return buf;
}

} // namespace tavel
