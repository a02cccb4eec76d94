#pragma once

// The check of the cycle benchmark, run in a process of its own:
// "client PORT DIR RECORD RESULT" checks the one account RECORD (on
// 127.0.0.1:PORT) with DIR as program directory and writes "IDLE_KB
// CYCLE_SECONDS" to RESULT. Returns the process's exit status.
int RunClientCheck(int argc, char** argv);
