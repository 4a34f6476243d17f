#pragma once

// The peak resident size, in MB, of the program checking 10,000 segments
// from the command line: range 0 against the largest file, 1 against the
// file of the widest vocabulary. `self` is the benchmark program, which
// measures it through printPeakOfProgram.
double checkPeakMemoryMb(const char* self, int range);

// Runs a program, its output to /dev/null, and prints its peak resident
// size in MB; to be called first thing in a process of its own, whose peak
// is still small, since a program's counts its parent's when it starts.
int printPeakOfProgram(char** programAndArguments);
