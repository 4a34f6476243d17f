#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>

// Reports as the console does, and keeps each benchmark's median so that a
// final table can set them against the floor and the peer.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Prints the table; peakMemoryMb < 0 when it could not be measured.
    void printTable(double peakMemoryMb) const;

private:
    std::map<std::string, double> m_medianMs;
};
