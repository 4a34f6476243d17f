#include "windows/common/platform_metrics.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <cmath>

#include "windows/common/twips.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
class SystemPhysicalMetrics final : public PhysicalMetrics {
public:
    int at(int index, unsigned dpi) const override { return ::GetSystemMetricsForDpi(index, dpi); }
};
#endif

}  // namespace

int ScaledMetrics::GetSystemMetrics(int index) const {
    return int(std::lround(m_source.at(index, m_dpi) / m_ratio));
}

int WindowMetrics::GetSystemMetrics(int index) const {
#ifdef _WIN32
    // The system's frame only where the system draws it: another platform
    // (offscreen, a remote display) draws its own or none.
    if (QGuiApplication::platformName() == QLatin1String("windows")) {
        static const SystemPhysicalMetrics system;
        const auto window = reinterpret_cast<HWND>(m_window.winId());
        return ScaledMetrics(system, ::GetDpiForWindow(window), m_window.devicePixelRatioF(), TwipsPerPixelX())
            .GetSystemMetrics(index);
    }
#endif
    const QRect outer = m_window.frameGeometry();
    const QRect inner = m_window.geometry();
    switch (index) {
        case SM_CXFRAME: return (outer.width() - inner.width()) / 2;
        case SM_CYFRAME: return outer.bottom() - inner.bottom();
        case SM_CYCAPTION: return (inner.top() - outer.top()) - (outer.bottom() - inner.bottom());
        case SM_CYMENU: return m_window.menuWidget() ? m_window.menuWidget()->height() : 0;
        default: return 0;
    }
}

float WindowMetrics::TwipsPerPixelX() const { return float(twips::perPixel()); }

float WindowMetrics::TwipsPerPixelY() const { return float(twips::perPixel()); }
