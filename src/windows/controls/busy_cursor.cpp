#include "windows/controls/busy_cursor.h"

BusyCursor::BusyCursor(QWidget* window) : m_window(window) { m_window->setCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() {
    if (m_window) m_window->unsetCursor();
}
