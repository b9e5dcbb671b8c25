#include "shell/MainModule.h"

namespace shell {

namespace {
std::unique_ptr<MainModule>& instance() {
    static std::unique_ptr<MainModule> module = std::make_unique<MainModule>();
    return module;
}
}  // namespace

MainModule& mainModule() {
    return *instance();
}

void resetMainModule() {
    instance() = std::make_unique<MainModule>();
}

}  // namespace shell
