// The main window of the interactive mode.
#pragma once

class TFendrixStartParams;

// Creates the window from the parameters and runs the message loop until it
// is closed; returns the exit code of the process.
int RunMainWindow(TFendrixStartParams& params);
