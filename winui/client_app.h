// CClientApp: the start-up of the Windows window. Starts the socket layer
// (its failure is string 103 in a message box), prepares control hosting and
// the common controls, then runs the main window as a modal dialog; the
// process ends when the dialog ends.
#pragma once

namespace orvanta {

class CClientApp {
public:
    // Runs the whole application; returns the process exit code.
    int Run();
};

}  // namespace orvanta
