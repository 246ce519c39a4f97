#include "TableRegistry.h"

#include <atomic>
#include <mutex>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<const TableDesc*> tables;
    std::vector<const TableDesc*> views;
    std::atomic<unsigned> version{1};
};

Registry& Instance() {
    static Registry r;
    return r;
}

void Put(std::vector<const TableDesc*>& list, const TableDesc& desc) {
    Registry& r = Instance();
    {
        std::lock_guard lock(r.mutex);
        for (auto& d : list) {
            if (std::string_view(d->name) == desc.name) {
                d = &desc;
                r.version.fetch_add(1);
                return;
            }
        }
        list.push_back(&desc);
    }
    r.version.fetch_add(1);
}

} // namespace

void RegisterTable(const TableDesc& table) {
    Put(Instance().tables, table);
}

void RegisterView(const TableDesc& view) {
    Put(Instance().views, view);
}

const TableDesc* FindTableDesc(std::string_view name) {
    Registry& r = Instance();
    std::lock_guard lock(r.mutex);
    for (const auto* list : {&r.tables, &r.views})
        for (const TableDesc* d : *list)
            if (name == d->name)
                return d;
    return nullptr;
}

std::vector<const TableDesc*> RegisteredTables() {
    Registry& r = Instance();
    std::lock_guard lock(r.mutex);
    return r.tables;
}

namespace tavel {

std::unordered_set<std::string> RegisteredDateColumns() {
    Registry& r = Instance();
    std::lock_guard lock(r.mutex);
    std::unordered_set<std::string> names;
    for (const auto* list : {&r.tables, &r.views})
        for (const TableDesc* d : *list)
            for (std::size_t i = 0; i < d->count; ++i)
                if (d->columns[i].type == ColType::Date)
                    names.insert(d->columns[i].name);
    return names;
}

sqldialect::SchemaHints RegisteredSchemaHints() {
    sqldialect::SchemaHints hints;
    hints.dateColumns = RegisteredDateColumns();
    for (const TableDesc* t : RegisteredTables()) {
        std::vector<std::string>& names = hints.tableColumns[t->name];
        for (std::size_t i = 0; i < t->count; ++i)
            names.emplace_back(t->columns[i].name);
    }
    return hints;
}

unsigned RegistryVersion() {
    return Instance().version.load(std::memory_order_relaxed);
}

} // namespace tavel
