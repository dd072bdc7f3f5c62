#pragma once

// Shows the setup window as the application's main form and runs the message
// loop until it closes. An error while the form is created passes on, with
// frmInstall empty again.
void RunWizard();
