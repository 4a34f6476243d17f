#include "windows/controls/progress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>

namespace {

Progress::Observer& observer() {
    static Progress::Observer current;
    return current;
}

}  // namespace

Progress::Progress(QWidget* parent, const QString& label, int total) : m_total(total) {
    if (observer() || (total < kShownFrom && total != kUnknown)) return;
    m_dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Annuler"), 0, std::max(total, 0), parent);
    m_dialog->setObjectName(QStringLiteral("progression"));
    m_dialog->setWindowTitle(QStringLiteral("Lexicarium"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
}

Progress::~Progress() = default;

bool Progress::update(int done) {
    if (observer()) return observer()(done, m_total);
    if (!m_dialog) return true;
    if (m_total == kUnknown) {
        QCoreApplication::processEvents();  // the dialog's own turn to show, and its « Annuler »
    } else {
        m_dialog->setValue(done);  // a window-modal dialog lets the events through here
    }
    return !m_dialog->wasCanceled();
}

void Progress::setObserver(Observer replacement) { observer() = std::move(replacement); }
