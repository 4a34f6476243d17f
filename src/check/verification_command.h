#pragma once

#include <QStringList>

class QTextStream;

// A check of a translation from the command line, for build servers and
// scripts: lexicarium --verifier <file> [--fichier <data file>]
// [--rapport <report.csv|.xlsx|.ods>]. No window, no display, no hand-over
// to a running copy of the program; the data file is only read.
namespace verificationcommand {

// Writes one line per gap to `out` (gapreport::lineOf) and, when asked, the
// report file; French messages go to `errors`. The exit status: 0 without a
// gap, 1 with gaps, 2 on a failure.
int run(const QStringList& arguments, QTextStream& out, QTextStream& errors);

inline constexpr int kNoGap = 0;
inline constexpr int kGaps = 1;
inline constexpr int kFailure = 2;

}  // namespace verificationcommand
