#include "engine/launch_target.h"

#include "engine/builtin_action.h"

void LaunchTarget(const std::string& path, const std::string& workdir, bool builtin,
                  tw::ISystem& system, int& allowShutdown) {
    if (builtin)
        RunBuiltInAction(path, system, allowShutdown);
    else
        system.ShellOpen(path, workdir);
}
