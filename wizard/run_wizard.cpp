#include "wizard/run_wizard.h"

#include <memory>

#include "toolkit/application.h"
#include "wizard/form_install.h"

void RunWizard() {
    tk::Application().Initialize();
    tk::Application().Title = "Install";
    auto form = std::make_unique<TfrmInstall>();
    frmInstall = form.get();
    try {
        form->Create();
    } catch (...) {
        frmInstall = nullptr;
        throw;
    }
    tk::Application().SetMainForm(form.get());
    tk::Application().Run();
    frmInstall = nullptr;
}
