// The setup's own start (its libraries, resources and manifest) with a time
// stamp at each step, for startup_bench: the seam of the start-up stamps the
// Program Files folder and the probe, step_stamps.cpp each window made.
#include <windows.h>

#include "bench/step_stamps.h"
#include "startup/entry.h"
#include "wizard/run_wizard.h"

namespace {

class TStampedStartup : public TStartupSystem {
public:
    std::string ShellProgramFilesDir() override {
        std::string folder = TStartupSystem::ShellProgramFilesDir();
        steps::Stamp("Program Files folder from the shell");
        return folder;
    }
    void RemoveFolder(const std::string& path) override {
        TStartupSystem::RemoveFolder(path);
        steps::Stamp("probe made and removed");
    }
    void RunWizard() override { ::RunWizard(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    steps::Stamp("WinMain");
    TStampedStartup system;
    return RunProgram(system);
}
