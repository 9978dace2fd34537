// CClientApp: the start-up of the Windows window. Chooses the window's
// language (the user's, or --lang zh|en; another value ends with exit code
// 2 after a usage message). Starts the socket layer
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
