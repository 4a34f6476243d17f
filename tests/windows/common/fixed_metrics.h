#pragma once

#include "windows/common/platform_metrics.h"

// A platform whose metrics a test chooses.
struct FixedMetrics : PlatformMetrics {
    float factorX = 15;
    float factorY = 15;
    int frameX = 4;
    int frameY = 4;
    int caption = 19;
    int menu = 19;

    int GetSystemMetrics(int index) const override {
        switch (index) {
            case SM_CXFRAME: return frameX;
            case SM_CYFRAME: return frameY;
            case SM_CYCAPTION: return caption;
            case SM_CYMENU: return menu;
            default: return 0;
        }
    }
    float TwipsPerPixelX() const override { return factorX; }
    float TwipsPerPixelY() const override { return factorY; }
};
