// The POSIX driver's parts of crash reporting that the tests reach (see crash_report.h for the
// whole): naming a signal, finding a return address's module, the report's file, and the fresh
// process's naming of a backtrace line.
#pragma once

#include <signal.h>

#include <cstddef>
#include <string>

#include "platform/crash/crash_report.h"

// Fills the facts' cause from a fatal signal and what the kernel told of it (`info` may be
// null): its name and meaning, and for a fault the address and reason, or the sending process.
void DescribeCrashSignal(int signal, const siginfo_t* info, TCrashFacts& facts);

// Finds the module of `frame.pc` in the text of /proc/<pid>/maps.
void FindCrashModule(const char* maps, size_t length, TCrashFrame& frame);

// Creates the report's file in `folder` as crash-<date>_<time>.txt (with -2, -3, … when that
// exists), writing its path into `path`. Returns the open descriptor, or -1 with `error` set
// (ENOENT for an empty folder name) and `path` empty.
int CreateCrashReportFile(const char* folder, const TCrashTime& time, char* path, size_t size,
                          int& error);

// Saves the report (`length` bytes of `report`) in `folder` as CreateCrashReportFile names it,
// the replay flushed (FlushCrashReplay) after its first `replayAt` bytes are written, and on the
// disk before it counts as saved. False, with `error` and `path` empty, when it could not be
// saved whole: nothing of it is then left there. Safe in a signal handler.
bool SaveCrashReport(const char* folder, const TCrashTime& time, const char* report,
                     size_t replayAt, size_t length, char* path, size_t size, int& error);

// The fresh process's part: a report's backtrace line "#N  0x<pc> (<module>+0x<offset>)" with
// the function's name put in, found in the module's symbol table; the line as it was when the
// module or the name cannot be found. `exact` is for the faulting frame, whose address is the
// instruction itself, not a return address.
std::string NameCrashFrame(const std::string& line, bool exact);
