#include "windows/edition/duplicate_watch.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <chrono>
#include <future>
#include <system_error>

#include "search/duplicates.h"
#include "store/number_text.h"
#include "store/store_error.h"
#include "windows/common/look.h"
#include "windows/common/notice_bar.h"
#include "windows/controls/busy_cursor.h"

namespace {

// Below this, a pointer that flickers to the hourglass and back only distracts.
constexpr std::chrono::milliseconds kUnnoticed(50);

// The check runs beside the user-interface thread, which waits for it and
// shows the hourglass once it has waited long enough.
std::vector<duplicates::Card> othersWith(QWidget* window, DataFile& file, const QString& expression,
                                         std::int32_t ownSlot) {
    auto pending = std::async(std::launch::async,
                              [&] { return duplicates::othersWith(file, expression, ownSlot); });
    if (pending.wait_for(kUnnoticed) != std::future_status::ready) {
        BusyCursor busy(window);
        pending.wait();
    }
    return pending.get();
}

}  // namespace

DuplicateWatch::DuplicateWatch(QMainWindow* window, QPlainTextEdit* expression, QLineEdit* number,
                               std::function<QString()> dataFile)
    : QObject(window), m_window(window), m_expression(expression), m_number(number), m_dataFile(std::move(dataFile)) {
    expression->installEventFilter(this);
    connect(expression, &QPlainTextEdit::textChanged, this, [this] { show({}); });
}

bool DuplicateWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_expression && event->type() == QEvent::FocusOut) {
        // The focus comes back from a menu or another window to the same box;
        // a window that is gone from the screen is closing.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason && m_window->isVisible()) {
            check();
        }
    }
    return QObject::eventFilter(watched, event);
}

void DuplicateWatch::check() {
    const QString path = m_dataFile();
    const QString expression = m_expression->toPlainText();
    // A file that is not there holds no card, and the check creates none.
    if (path.isEmpty() || !QFileInfo::exists(path) || duplicates::keyOf(expression).empty()) {
        show({});
        return;
    }
    const std::int32_t ownSlot = numbertext::toInt32(m_number->text()).value_or(0);
    try {
        // Opened here, on the user-interface thread: opening may have a word for the user.
        DataFile file = DataFile::open(path);
        const auto found = othersWith(m_window, file, expression, ownSlot);
        file.close();
        show(duplicates::notice(found), duplicates::noticeInFull(found));
    } catch (const StoreError&) {
        show({});
    } catch (const std::system_error&) {
        show({});
    }
}

void DuplicateWatch::show(const QString& notice, const QString& inFull) {
    NoticeBar::of(m_window).set(QStringLiteral("avisdoublon"), notice, look::kDarkRed, inFull);
}
