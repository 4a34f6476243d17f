#pragma once

// The peak resident size, in MB, of the program checking 10,000 segments
// from the command line: range 0 against the largest file, 1 against the
// file of the widest vocabulary.
double checkPeakMemoryMb(int range);
