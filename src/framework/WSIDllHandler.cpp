#include "WSIDllHandler.h"

#include "Trace.h"
#include "WSIApplication.h"

#include <algorithm>
#include <utility>

void WSIResponseTable::AddCommand(long commandId, Handler handler) {
    TVL_TRACE("WSIResponseTable::AddCommand");
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.message == kCommandMessage && e.id == commandId;
    });
    if (it != entries_.end())
        it->handler = std::move(handler);
    else
        entries_.push_back({kCommandMessage, commandId, std::move(handler)});
}

const WSIResponseTable::Handler* WSIResponseTable::Find(unsigned message, long id) const {
    TVL_TRACE("WSIResponseTable::Find");
    for (const Entry& e : entries_)
        if (e.message == message && e.id == id && e.handler)
            return &e.handler;
    return nullptr;
}

bool WSIResponseTable::Empty() const {
    TVL_TRACE("WSIResponseTable::Empty");
    return entries_.empty();
}

WSIDllHandler::WSIDllHandler() {
    TVL_TRACE("WSIDllHandler::WSIDllHandler");
}

WSIDllHandler::~WSIDllHandler() {
    TVL_TRACE("WSIDllHandler::~WSIDllHandler");
}

void WSIDllHandler::InitApp(long user) {
    TVL_TRACE("WSIDllHandler::InitApp");
    hostUser_ = user;
}

bool WSIDllHandler::ExecuteCommand(long commandId, void* parameter) {
    TVL_TRACE("WSIDllHandler::ExecuteCommand");
    CommandParameter = parameter;
    return DispatchCommand(commandId);
}

bool WSIDllHandler::DispatchCommand(long commandId) {
    TVL_TRACE("WSIDllHandler::DispatchCommand");
    const WSIResponseTable::Handler* handler =
        responses_.Find(WSIResponseTable::kCommandMessage, commandId);
    return handler ? (*handler)() : false;
}

WSIApplication* WSIDllHandler::GetHostApplication() {
    TVL_TRACE("WSIDllHandler::GetHostApplication");
    return host_;
}

WSIWindow* WSIDllHandler::GetHostMainWindow() {
    TVL_TRACE("WSIDllHandler::GetHostMainWindow");
    return host_ ? host_->GetMainWindow() : nullptr;
}

WSIDatabase* WSIDllHandler::GetHostDb() {
    TVL_TRACE("WSIDllHandler::GetHostDb");
    return host_ ? host_->GetDb() : nullptr;
}

void WSIDllHandler::SetHostValues(long v) {
    TVL_TRACE("WSIDllHandler::SetHostValues");
    hostValueA_ = v;
    hostValueB_ = v;
}

long WSIDllHandler::GetHostValueA() {
    TVL_TRACE("WSIDllHandler::GetHostValueA");
    return hostValueA_;
}

long WSIDllHandler::GetHostValueB() {
    TVL_TRACE("WSIDllHandler::GetHostValueB");
    return hostValueB_;
}

void WSIDllHandler::SetHostValueB(long v) {
    TVL_TRACE("WSIDllHandler::SetHostValueB");
    hostValueB_ = v;
}

long WSIDllHandler::GetHostUser() {
    TVL_TRACE("WSIDllHandler::GetHostUser");
    return hostUser_;
}

void WSIDllHandler::SetHostUser(long v) {
    TVL_TRACE("WSIDllHandler::SetHostUser");
    hostUser_ = v;
}

void WSIDllHandler::AttachHost(WSIApplication* host) {
    TVL_TRACE("WSIDllHandler::AttachHost");
    host_ = host;
}

WSIResponseTable& WSIDllHandler::GetResponseTable() {
    TVL_TRACE("WSIDllHandler::GetResponseTable");
    return responses_;
}
