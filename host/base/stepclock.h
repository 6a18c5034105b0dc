// Time spent between the marked steps of a run, kept only when asked: by the environment variable
// OVRIN_STEP_TIMES (the name of a file the marks are written to) or by a figures program.
// Switched off, a mark costs one test.
#pragma once
#include <stdint.h>

void StartStepClock();           // reads OVRIN_STEP_TIMES; a mark starts counting from here
void EnableStepClock(bool on);   // figures programs: keep totals without writing a file
bool StepClockOn();
// The time since the previous mark is added to the named total; a null name only restarts.
void StepMark(const char *name);
// Adds the time since start (a StepTicks value) to the named total, the previous mark untouched.
void StepAddSince(const char *name, int64_t start);
int64_t StepTicks();                  // 0 while the clock is off
double StepTotalMs(const char *name); // 0 for a name never marked
void ResetStepTotals();
// Writes the file of OVRIN_STEP_TIMES, one line a mark: "name ticks-at-mark ticks-per-second".
void WriteStepTimes();
