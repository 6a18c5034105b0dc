// A small table of named totals; the marks of a start-up are written as their moments on the
// machine's clock, so that the process that started the program can add what came before main.
#include "base/stepclock.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {
enum { kSlots = 64, kNameBytes = 40 };
struct Slot {
    char name[kNameBytes];
    int64_t total, at; // at: the moment of the latest mark
};
bool s_on;
char s_file[MAX_PATH];
Slot s_slots[kSlots];
int s_used;
int64_t s_last;

int64_t Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

Slot *Find(const char *name)
{
    for (int i = 0; i < s_used; i++)
        if (strcmp(s_slots[i].name, name) == 0)
            return &s_slots[i];
    if (s_used == kSlots)
        return NULL;
    Slot *s = &s_slots[s_used++];
    snprintf(s->name, sizeof s->name, "%s", name);
    s->total = s->at = 0;
    return s;
}
} // namespace

void StartStepClock()
{
    DWORD n = GetEnvironmentVariableA("OVRIN_STEP_TIMES", s_file, sizeof s_file);
    if (n == 0 || n >= sizeof s_file)
        return;
    s_on = true;
    s_last = Now();
}

void EnableStepClock(bool on)
{
    s_on = on;
    s_file[0] = 0;
    s_last = on ? Now() : 0;
}

bool StepClockOn()
{
    return s_on;
}

void StepMark(const char *name)
{
    if (!s_on)
        return;
    int64_t now = Now();
    if (name)
        if (Slot *s = Find(name)) {
            s->total += now - s_last;
            s->at = now;
        }
    s_last = now;
}

void StepAddSince(const char *name, int64_t start)
{
    if (!s_on || !start)
        return;
    if (Slot *s = Find(name))
        s->total += Now() - start;
}

int64_t StepTicks()
{
    return s_on ? Now() : 0;
}

double StepTotalMs(const char *name)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    for (int i = 0; i < s_used; i++)
        if (strcmp(s_slots[i].name, name) == 0)
            return f.QuadPart > 0 ? s_slots[i].total * 1000.0 / (double)f.QuadPart : 0;
    return 0;
}

void ResetStepTotals()
{
    s_used = 0;
    s_last = s_on ? Now() : 0;
}

void WriteStepTimes()
{
    if (!s_on || !s_file[0])
        return;
    // Written whole under another name first: the file appears complete or not at all.
    char part[MAX_PATH + 8];
    snprintf(part, sizeof part, "%s.part", s_file);
    FILE *f = fopen(part, "w");
    if (!f)
        return;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < s_used; i++)
        fprintf(f, "%s %lld %lld\n", s_slots[i].name, (long long)s_slots[i].at, (long long)freq.QuadPart);
    fclose(f);
    MoveFileExA(part, s_file, MOVEFILE_REPLACE_EXISTING);
}
