#include "db/PgLibrary.h"

#include <dlfcn.h>

namespace {

std::string LastLoadError() {
    const char* error = dlerror();
    return error != nullptr ? error : "no reason given";
}

// Never destroyed: a connection closed by another static's destructor, or by a thread still
// running at exit, may need the table after this function's statics have gone.
const PgLibraryLoad& Client() {
    static const PgLibraryLoad* const client = new PgLibraryLoad(LoadPgLibrary("libpq.so.5"));
    return *client;
}

} // namespace

PgLibraryLoad LoadPgLibrary(const char* file) {
    PgLibraryLoad load;
    void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        load.error = "the PostgreSQL client library cannot be loaded (" + LastLoadError() +
                     "): install libpq5";
        return load;
    }
    PgLibrary& table = load.functions;
    const char* missing = nullptr;
#define TELVANE_PG_LOOK_UP(name)                                                                   \
    if (missing == nullptr) {                                                                      \
        table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name));                 \
        if (table.name == nullptr)                                                                 \
            missing = #name;                                                                       \
    }
    TELVANE_PG_FUNCTIONS(TELVANE_PG_LOOK_UP)
#undef TELVANE_PG_LOOK_UP
    if (missing != nullptr) {
        load.functions = PgLibrary();
        load.error = std::string("the PostgreSQL client library ") + file + " has no " + missing;
        dlclose(handle);
    }
    return load;
}

const PgLibrary* PgClient(std::string& error) {
    const PgLibraryLoad& client = Client();
    if (!client.error.empty()) {
        error = client.error;
        return nullptr;
    }
    return &client.functions;
}

const PgLibrary& Pq() {
    return Client().functions;
}
