// Loaded applications (modules) and the functions they register. A module
// is a shared library exporting acrxEntryPoint and acrxGetApiVersion; the
// host loads it, sends it the application messages and calls its
// registered functions.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

class Host;

class Applications {
public:
    explicit Applications(Host& host);
    ~Applications();

    // Loads a module; false with a message when it cannot be loaded.
    bool load(const std::string& path, std::string& error);
    // Sends every module the unload message and unloads it.
    void unloadAll();
    std::size_t count() const { return apps_.size(); }

    void sendLoadDrawing();
    void sendUnloadDrawing();

    // Registration by the application being called.
    bool defun(const char* name, short code);
    bool undef(const char* name, short code);
    bool unlock(void* packet);

    // A registered function by its name ("C:NAME" for commands).
    bool hasFunction(const std::string& name) const;
    // The registered names ("C:NAME" for commands), in alphabetical order.
    std::vector<std::string> functionNames() const;
    // Calls a registered function; false when none has that name.
    bool invoke(const std::string& name);
    int currentFunctionCode() const { return currentCode_; }

private:
    struct App;
    struct Function {
        App* app;
        short code;
    };
    int send(App& app, int message, void* packet);

    Host& host_;
    std::vector<std::unique_ptr<App>> apps_;
    std::map<std::string, Function> functions_;  // upper-cased name
    App* calling_ = nullptr;
    int currentCode_ = -1;
};

}  // namespace host
