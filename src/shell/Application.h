// The program: start-up, the main loop, shutdown.
#pragma once

// Returns the process exit status.
int runApplication(int argc, char** argv);
