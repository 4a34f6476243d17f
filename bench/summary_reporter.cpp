#include "summary_reporter.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

struct Figure {
    const char* name;
    const char* benchmark;
    const char* peer;  // nullptr: no peer figure; "a|b": the faster of two
    double targetMs;   // 0: no target in time
    double floorRatioTarget;
    double peerRatioTarget;
};

// LIKE over the seven columns, or the FTS5 index where that is faster.
constexpr const char* kEveryFieldPeer = "BM_Peer_SearchEveryField/0|BM_Peer_SearchEveryField/1";

const Figure kFigures[] = {
    {"search of 32767 cards", "BM_Search/0", "BM_Peer_Search", 0, 1.25, 0.75},
    {"  without accents", "BM_Search/1", "BM_Peer_Search", 0, 1.25, 0.75},
    {"  large after empty", "BM_SearchAfterNone/0", "BM_Peer_Search", 0, 1.25, 0.75},
    {"  same, without accents", "BM_SearchAfterNone/1", "BM_Peer_Search", 0, 1.25, 0.75},
    {"  empty after large", "BM_NoneAfterSearch/0", "BM_Peer_Search", 0, 1.25, 0.75},
    {"  same, without accents", "BM_NoneAfterSearch/1", "BM_Peer_Search", 0, 1.25, 0.75},
    {"search in every field", "BM_SearchEveryField/0", kEveryFieldPeer, 0, 2.0, 1.0},
    {"  without accents", "BM_SearchEveryField/1", kEveryFieldPeer, 0, 2.0, 1.0},
    {"  large after empty", "BM_SearchEveryFieldAfterNone/0", kEveryFieldPeer, 0, 2.0, 1.0},
    {"  same, without accents", "BM_SearchEveryFieldAfterNone/1", kEveryFieldPeer, 0, 2.0, 1.0},
    {"  empty after large", "BM_NoneAfterSearchEveryField/0", kEveryFieldPeer, 0, 2.0, 1.0},
    {"  same, without accents", "BM_NoneAfterSearchEveryField/1", kEveryFieldPeer, 0, 2.0, 1.0},
    {"duplicate check", "BM_DuplicateCheck", nullptr, 50, 0, 0},
    {"duplicates listed", "BM_DuplicatesList", nullptr, 0, 0, 0},
    {"full list into the grid", "BM_FullList", "BM_Peer_FullList", 0, 0, 0.75},
    {"  after a search", "BM_FullListAfterSearch", "BM_Peer_FullList", 0, 0, 0.75},
    {"  first in a new window", "BM_FirstFullList", "BM_Peer_FullList", 0, 0, 0.75},
    {"sort by source entries", "BM_SortAfterFullList/0", nullptr, 150, 0, 0},
    {"sort by target entries", "BM_SortAfterFullList/1", nullptr, 150, 0, 0},
    {"sort by references", "BM_SortAfterFullList/2", nullptr, 150, 0, 0},
    {"open a card", "BM_OpenCard", nullptr, 5, 0, 0},
    {"save a card, sync included", "BM_SaveCard", nullptr, 50, 0, 0},
    {"full list printed to PDF", "BM_PrintFullListToPdf", nullptr, 15000, 0, 0},
    {"one card printed to PDF", "BM_PrintCardToPdf", nullptr, 200, 0, 0},
    {"export 32767 cards to TBX", "BM_ExportCards/0", nullptr, 2000, 0, 0},
    {"export 32767 cards to CSV", "BM_ExportCards/1", nullptr, 2000, 0, 0},
    {"import 32767 cards from TBX", "BM_ImportCards/0", nullptr, 2000, 0, 0},
    {"import 32767 cards from CSV", "BM_ImportCards/1", nullptr, 2000, 0, 0},
    {"export 32767 cards to .xlsx", "BM_ExportCards/2", nullptr, 2000, 0, 0},
    {"export 32767 cards to .ods", "BM_ExportCards/3", nullptr, 2000, 0, 0},
    {"import 32767 cards from .xlsx", "BM_ImportCards/2", nullptr, 2000, 0, 0},
    {"import 32767 cards from .ods", "BM_ImportCards/3", nullptr, 2000, 0, 0},
    {"save a card, history kept", "BM_SaveCardWithHistory", nullptr, 5, 0, 0},
    {"a card's history, 100000 kept", "BM_ListCardHistory", nullptr, 100, 0, 0},
    {"daily copy of 32767 cards", "BM_DailyCopy", nullptr, 2000, 0, 0},
    // Wildcards: the peer is the plain search of the text without them.
    {"wildcards not?on, x plain", "BM_Wildcards/0/1", "BM_Wildcards/0/0", 0, 0, 1.5},
    {"wildcards t*ion, x plain", "BM_Wildcards/1/1", "BM_Wildcards/1/0", 0, 0, 1.5},
    {"wildcards r*siliation, x plain", "BM_Wildcards/2/1", "BM_Wildcards/2/0", 0, 0, 1.5},
    {"wildcards ch*zz, x plain", "BM_Wildcards/3/1", "BM_Wildcards/3/0", 0, 0, 3},
    {"wildcards e*qz, x plain", "BM_Wildcards/4/1", "BM_Wildcards/4/0", 0, 0, 3},
    {"wildcards ?*zq context, x plain", "BM_Wildcards/5/1", "BM_Wildcards/5/0", 0, 0, 3},
    // Word forms: the peer is the plain search of the same text.
    {"word forms, x plain", "BM_WordFormsSearch/1", "BM_WordFormsSearch/0", 0, 0, 2},
    {"word forms, two words, x plain", "BM_WordFormsSearch/2", "BM_WordFormsSearch/0", 0, 0, 2},
    {"word forms prepared, wide file", "BM_WordFormsPrepare/iterations:1", nullptr, 3000, 0, 0},
    // The check of a translation from the command line, the program's start included.
    {"10,000 segments checked", "BM_CheckFromCommandLine/0/iterations:1", nullptr, 3000, 0, 0},
    {"10,000 segments, wide file", "BM_CheckFromCommandLine/1/iterations:1", nullptr, 3000, 0, 0},
};

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single) continue;
        const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        m_medianMs[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] =
            seconds * 1000.0;
    }
}

void SummaryReporter::printTable(const std::vector<Peak>& peaks) const {
    const auto find = [this](std::string_view names) {
        double fastest = -1.0;
        for (std::size_t from = 0; from <= names.size();) {
            const std::size_t bar = std::min(names.find('|', from), names.size());
            const auto it = m_medianMs.find(std::string(names.substr(from, bar - from)));
            if (it != m_medianMs.end() && (fastest < 0 || it->second < fastest)) fastest = it->second;
            from = bar + 1;
        }
        return fastest;
    };
    const double floor = find("BM_Floor_ReadWholeFile");
    std::printf("\nMedians on this machine (floor: one sequential read of the whole file, %.1f ms)\n", floor);
    std::printf("%-30s %10s %9s %9s %10s  %s\n", "figure", "median ms", "x floor", "x peer", "peer ms", "target");
    for (const Figure& figure : kFigures) {
        const double ms = find(figure.benchmark);
        if (ms < 0) continue;
        const double peer = figure.peer ? find(figure.peer) : -1;
        bool met = true;
        std::string target;
        if (figure.targetMs > 0) {
            met = ms <= figure.targetMs;
            target = "<= " + std::to_string(int(figure.targetMs)) + " ms";
        }
        if (figure.floorRatioTarget > 0) {
            met = met && floor > 0 && ms / floor <= figure.floorRatioTarget;
            char text[32];
            std::snprintf(text, sizeof text, "<= %.4g x floor ", figure.floorRatioTarget);
            target += text;
        }
        if (figure.peerRatioTarget > 0) {
            met = met && peer > 0 && ms / peer <= figure.peerRatioTarget;
            char text[32];
            std::snprintf(text, sizeof text, "<= %.4g x peer", figure.peerRatioTarget);
            target += text;
        }
        char peerRatio[16] = "-";
        char peerMs[16] = "-";
        if (peer > 0) {
            std::snprintf(peerRatio, sizeof peerRatio, "%.2f", ms / peer);
            std::snprintf(peerMs, sizeof peerMs, "%.1f", peer);
        }
        std::printf("%-30s %10.1f %9.2f %9s %10s  %s %s\n", figure.name, ms, floor > 0 ? ms / floor : 0.0, peerRatio,
                    peerMs, target.c_str(), met ? "met" : "MISSED");
    }
    for (const Peak& peak : peaks) {
        if (peak.megabytes < 0) continue;
        std::printf("%-30s %10.1f MB                                <= %d MB %s\n", peak.name, peak.megabytes,
                    int(peak.targetMb), peak.megabytes <= peak.targetMb ? "met" : "MISSED");
    }
}
