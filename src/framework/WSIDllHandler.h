#pragma once

#include <functional>
#include <vector>

class WSIApplication;
class WSIDatabase;
class WSIWindow;

// Commands are looked up by (message code, command id), the way a windowing framework's
// response table does; command events carry message code 0.
class WSIResponseTable {
public:
    // Returns the dispatch result: true when the command was carried out.
    using Handler = std::function<bool()>;

    static constexpr unsigned kCommandMessage = 0;

    // Adds (or replaces) the entry for a command id.
    void AddCommand(long commandId, Handler handler);
    // The handler for the event, or null when the table does not list it.
    const Handler* Find(unsigned message, long id) const;
    bool Empty() const;

private:
    struct Entry {
        unsigned message;
        long id;
        Handler handler;
    };
    std::vector<Entry> entries_;
};

// The object through which a host reaches a loaded module and the module reaches its
// host. The host hands over its application object with AttachHost right after it
// obtains the handler; there is no process-wide application object to ask instead.
// Host values A and B are kept for the host; the module does not read them.
class WSIDllHandler {
public:
    WSIDllHandler();
    virtual ~WSIDllHandler();
    WSIDllHandler(const WSIDllHandler&) = delete;
    WSIDllHandler& operator=(const WSIDllHandler&) = delete;

    // Base behaviour: stores the user in the host-user slot.
    virtual void InitApp(long user);
    // Keeps parameter in CommandParameter (not cleared afterwards) and dispatches id.
    virtual bool ExecuteCommand(long commandId, void* parameter);
    // False when the response table has no entry for the id.
    virtual bool DispatchCommand(long commandId);
    virtual WSIApplication* GetHostApplication();
    virtual WSIWindow* GetHostMainWindow();
    virtual WSIDatabase* GetHostDb();
    virtual void SetHostValues(long v);
    virtual long GetHostValueA();
    virtual long GetHostValueB();
    virtual void SetHostValueB(long v);
    virtual long GetHostUser();
    virtual void SetHostUser(long v);
    // Virtual so that the module's own code stores the pointer, whichever copy of the
    // framework the host was built with.
    virtual void AttachHost(WSIApplication* host);

    WSIResponseTable& GetResponseTable();

    // Untyped parameter block of the command being run; owned by the host.
    void* CommandParameter = nullptr;

private:
    WSIApplication* host_ = nullptr;
    long hostValueA_ = 0;
    long hostValueB_ = 0;
    long hostUser_ = 0;
    WSIResponseTable responses_;
};
