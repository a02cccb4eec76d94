#pragma once

// A benchmark's client run as a process of its own, timed from outside.

#include <sys/time.h>

#include <string>
#include <vector>

namespace pelnor::bench {

struct ChildRun {
  double Wall = 0;   // seconds, start-up included
  double Cpu = 0;    // user + system seconds
  long PeakKb = 0;   // ru_maxrss
};

double Seconds(const timeval& t);

// Runs argv[0] (looked up in PATH) to its end. A run that fails ends the
// benchmark: its figures would mean nothing.
ChildRun RunToEnd(const std::vector<std::string>& argv);

}  // namespace pelnor::bench
