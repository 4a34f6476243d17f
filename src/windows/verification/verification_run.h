#pragma once

#include <QString>
#include <optional>

#include "check/verification.h"

class AcceptedGaps;
class MainWindowLink;
class QWidget;

// A check run on a second thread while the window waits with its progress
// and « Annuler »: the result, or the French message of a failure, or
// neither when the user cancelled. The cards are made ready once per data
// file for every check of the session.
struct VerificationOutcome {
    std::optional<verification::Result> result;
    QString failure;
};

VerificationOutcome runVerification(QWidget* window, const QString& checkedFile, const MainWindowLink& menu,
                                    const AcceptedGaps& accepted);
