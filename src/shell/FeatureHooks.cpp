#include "shell/FeatureHooks.h"

namespace shell {

namespace {
FeatureHooks& table() {
    static FeatureHooks hooks;
    return hooks;
}
}  // namespace

FeatureHooks& featureHooks() {
    return table();
}

void resetFeatureHooks() {
    table() = FeatureHooks();
}

}  // namespace shell
