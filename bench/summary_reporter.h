#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Reports as the console does, and keeps each benchmark's median so that a
// final table can set them against the floor and the peer.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // A peak of memory, in MB (< 0 when it could not be measured), and the
    // most it may be.
    struct Peak {
        const char* name;
        double megabytes;
        double targetMb = 150;
    };
    // Prints the table, then each peak.
    void printTable(const std::vector<Peak>& peaks) const;

private:
    std::map<std::string, double> m_medianMs;
};
