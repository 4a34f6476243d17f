#pragma once

class QMainWindow;

// What the resize layout asks of the platform: the system metrics of a
// window's frame, caption and menu bar, in the pixels the twips factor
// counts, and the screen's twips per pixel.
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

// The system's metrics in physical pixels for a display of the given DPI,
// as Windows gives them (GetSystemMetricsForDpi).
class PhysicalMetrics {
public:
    virtual ~PhysicalMetrics() = default;
    virtual int at(int index, unsigned dpi) const = 0;
};

// Physical metrics asked at a window's own DPI and brought to the window's
// device-independent pixels, the ones the twips factor counts: at 150 %
// scaling a 30-pixel caption is 20 such pixels.
class ScaledMetrics final : public PlatformMetrics {
public:
    ScaledMetrics(const PhysicalMetrics& source, unsigned dpi, double devicePixelRatio, float twipsPerPixel)
        : m_source(source), m_dpi(dpi), m_ratio(devicePixelRatio > 0 ? devicePixelRatio : 1.0),
          m_twipsPerPixel(twipsPerPixel) {}
    int GetSystemMetrics(int index) const override;
    float TwipsPerPixelX() const override { return m_twipsPerPixel; }
    float TwipsPerPixelY() const override { return m_twipsPerPixel; }

private:
    const PhysicalMetrics& m_source;
    unsigned m_dpi;
    double m_ratio;
    float m_twipsPerPixel;
};

// The platform's own answers for a window: where Windows draws its frame,
// the system's metrics at the window's DPI; elsewhere they are read off the
// window's real frame and menu bar, so that its outer size less the
// allowances is its client area.
class WindowMetrics final : public PlatformMetrics {
public:
    explicit WindowMetrics(const QMainWindow& window) : m_window(window) {}
    int GetSystemMetrics(int index) const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;

private:
    const QMainWindow& m_window;
};
