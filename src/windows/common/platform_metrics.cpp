#include "windows/common/platform_metrics.h"

#include <QMainWindow>
#include <QMenuBar>

#include "windows/common/twips.h"

#ifdef _WIN32
#include <windows.h>
#endif

int WindowMetrics::GetSystemMetrics(int index) const {
#ifdef _WIN32
    return ::GetSystemMetrics(index);
#else
    const QRect outer = m_window.frameGeometry();
    const QRect inner = m_window.geometry();
    switch (index) {
        case SM_CXFRAME: return (outer.width() - inner.width()) / 2;
        case SM_CYFRAME: return outer.bottom() - inner.bottom();
        case SM_CYCAPTION: return (inner.top() - outer.top()) - (outer.bottom() - inner.bottom());
        case SM_CYMENU: return m_window.menuWidget() ? m_window.menuWidget()->height() : 0;
        default: return 0;
    }
#endif
}

float WindowMetrics::TwipsPerPixelX() const { return float(twips::perPixel()); }

float WindowMetrics::TwipsPerPixelY() const { return float(twips::perPixel()); }
