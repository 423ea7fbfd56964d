#include "ui/Geometry.h"

#include <cstdint>

namespace geometry {

namespace {

int ScaleEdge(int size, int referenceEdge, int referenceSize) {
    const double quotient = static_cast<double>(referenceEdge) / referenceSize;
    return static_cast<int>(static_cast<double>(size) * quotient);
}

} // namespace

zui::Size ProportionalWindowSize(zui::Size screen) {
    return {screen.width * 810 / 1366, screen.height * 422 / 768};
}

float ScreenFactor(int screenWidth) {
    if (screenWidth < 1366) {
        // A single-precision quotient times the double 1.2, stored in single precision: 1365 gives
        // 1.19912148 and 1280 gives 1.12445092, where a product in single precision would end one step
        // higher.
        return static_cast<float>(static_cast<float>(screenWidth) / 1366.0f * 1.2);
    }
    if (screenWidth > 1600) {
        return 0.9f;
    }
    return 1.0f;
}

double FontScale(int dpiX, int baseNumber, int clientWidth, float screenFactor) {
    return 96.0 / dpiX * baseNumber / 804.0 * clientWidth * static_cast<double>(screenFactor);
}

int FontSize(int baseNumber, int subtractTenths, int dpiX, int clientWidth, float screenFactor) {
    return static_cast<int>(FontScale(dpiX, baseNumber, clientWidth, screenFactor) - subtractTenths);
}

zui::Rect ScaleReferenceRect(const zui::Rect& reference, zui::Size client) {
    return {ScaleEdge(client.width, reference.left, kReferenceClient.width),
            ScaleEdge(client.height, reference.top, kReferenceClient.height),
            ScaleEdge(client.width, reference.right, kReferenceClient.width),
            ScaleEdge(client.height, reference.bottom, kReferenceClient.height)};
}

zui::Point MinimisedIconPosition(zui::Size client, zui::Size icon) {
    return {(client.width - icon.width * 810 / 1366 + 1) / 2,
            (client.height - icon.height * 422 / 768 + 1) / 2};
}

} // namespace geometry
