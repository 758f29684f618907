#include "core/applications.h"

#include <dlfcn.h>

#include "ads/rxmsg.h"
#include "core/host.h"
#include "db/record.h"

namespace host {

using EntryPoint = int (*)(int, void*);
using VersionFunction = int (*)();

struct Applications::App {
    std::string path;
    void* library = nullptr;
    EntryPoint entry = nullptr;
    bool unlocked = false;
};

Applications::Applications(Host& host) : host_(host) {}

Applications::~Applications() { unloadAll(); }

namespace {
// Puts a value back when the scope ends, also when an exception leaves it.
template <typename T>
struct Restore {
    T& target;
    T saved;
    explicit Restore(T& t) : target(t), saved(t) {}
    ~Restore() { target = saved; }
};
}  // namespace

int Applications::send(App& app, int message, void* packet) {
    Restore<App*> restoreCalling(calling_);
    calling_ = &app;
    return app.entry(message, packet);
}

bool Applications::load(const std::string& path, std::string& error) {
    for (const auto& app : apps_)
        if (app->path == path) {
            error = "\"" + path + "\" is already loaded.";
            return false;
        }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        error = "Unable to load " + path + ": " + dlerror();
        return false;
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, ACRX_ENTRY_POINT_NAME));
    auto version = reinterpret_cast<VersionFunction>(dlsym(library, ACRX_API_VERSION_NAME));
    if (!entry || !version) {
        dlclose(library);
        error = path + " is not an application: it lacks " ACRX_ENTRY_POINT_NAME " or " ACRX_API_VERSION_NAME ".";
        return false;
    }
    if (version() != ACRX_API_VERSION) {
        dlclose(library);
        error = path + " was built for another version of the host interface.";
        return false;
    }
    auto app = std::make_unique<App>();
    app->path = path;
    app->library = library;
    app->entry = entry;
    App& loaded = *app;
    apps_.push_back(std::move(app));
    send(loaded, AcRx::kInitAppMsg, &loaded);
    send(loaded, AcRx::kLoadDwgMsg, nullptr);
    return true;
}

void Applications::unloadAll() {
    while (!apps_.empty()) {
        App& app = *apps_.back();
        send(app, AcRx::kUnloadAppMsg, &app);
        for (auto it = functions_.begin(); it != functions_.end();)
            it = it->second.app == &app ? functions_.erase(it) : std::next(it);
        dlclose(app.library);
        apps_.pop_back();
    }
}

void Applications::sendLoadDrawing() {
    for (auto& app : apps_) send(*app, AcRx::kLoadDwgMsg, nullptr);
}

void Applications::sendUnloadDrawing() {
    for (auto& app : apps_) send(*app, AcRx::kUnloadDwgMsg, nullptr);
}

bool Applications::defun(const char* name, short code) {
    if (!calling_ || !name || !*name) return false;
    functions_[upperName(name)] = Function{calling_, code};
    return true;
}

bool Applications::undef(const char* name, short code) {
    if (!name) return false;
    auto it = functions_.find(upperName(name));
    if (it == functions_.end() || it->second.code != code) return false;
    functions_.erase(it);
    return true;
}

bool Applications::unlock(void* packet) {
    for (auto& app : apps_)
        if (app.get() == packet) {
            app->unlocked = true;
            return true;
        }
    return false;
}

std::vector<std::string> Applications::functionNames() const {
    std::vector<std::string> out;
    out.reserve(functions_.size());
    for (const auto& [name, function] : functions_) out.push_back(name);
    return out;
}

bool Applications::hasFunction(const std::string& name) const { return functions_.count(upperName(name)) > 0; }

bool Applications::invoke(const std::string& name) {
    auto it = functions_.find(upperName(name));
    if (it == functions_.end()) return false;
    Function f = it->second;
    Restore<int> restoreCode(currentCode_);
    currentCode_ = f.code;
    send(*f.app, AcRx::kInvkSubrMsg, nullptr);
    return true;
}

}  // namespace host
