// The game's side of crash reporting: its window named to the report, and
// QUORVATIDE_TEST_CRASH, a way to check crash reporting by faulting on purpose.
#pragma once

#include <memory>
#include <string>

#include "core/form1.h"

enum class TTestCrash { None, Segv, Abort, Throw, Fpe };

// The value of QUORVATIDE_TEST_CRASH: "segv", "abort", "throw" or "fpe". Unset or empty is None;
// anything else is None too, with a one-line warning for stderr.
TTestCrash ParseTestCrash(const char* value, std::string& warning);

// Faults as asked: a write through a null pointer, abort(), an exception nobody catches, an
// integer division by zero. Returns for None only.
void CrashOnPurpose(TTestCrash how);

// The game's window, whose screen and tick count a crash report names for as long as it lives;
// with a test crash asked for, its first tick of play faults once the tick's work is done. The
// settings are those given, or those of settings.ini for null.
std::unique_ptr<TForm1> CreateReportedForm(TPlatform& platform, TTestCrash testCrash,
                                           const TSettings* settings = nullptr);
