#include "main/demo_main.h"
#include "platform/process.h"

// Every way out ends the process the same way, with the audio thread stopped
// in its tracks rather than torn down under it.
int main() { ExitProcess(DemoMain()); }
