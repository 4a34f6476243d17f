#pragma once

class QMainWindow;

// What the resize layout asks of the platform: the system metrics of a
// window's frame, caption and menu bar (in pixels) and the screen's twips per
// pixel.
class PlatformMetrics {
public:
    static constexpr int SM_CYCAPTION = 4;
    static constexpr int SM_CYMENU = 15;
    static constexpr int SM_CXFRAME = 32;
    static constexpr int SM_CYFRAME = 33;

    virtual ~PlatformMetrics() = default;
    virtual int GetSystemMetrics(int index) const = 0;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
};

// The platform's own answers for a window: on Windows the system's metrics;
// elsewhere they are read off the window's real frame and menu bar, so that
// its outer size less the allowances is its client area.
class WindowMetrics final : public PlatformMetrics {
public:
    explicit WindowMetrics(const QMainWindow& window) : m_window(window) {}
    int GetSystemMetrics(int index) const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;

private:
    const QMainWindow& m_window;
};
