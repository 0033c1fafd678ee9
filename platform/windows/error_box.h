#pragma once
// A windowed program started from Explorer has no console: what it would
// print on failure is kept and shown in a message box as it ends.

// Keeps what is written to stderr from now on, unless a console or a
// redirection already receives it.
void ReportErrorsInABox();

// Shows what was kept, if anything; called when the program fails.
void ShowKeptErrors();
