#pragma once

#include <string>

// The reading labels of the main window, by control ID.
enum ReadingLabel : int {
    LabelRail12V = 1035,
    LabelRailMinus12V = 1036,
    LabelRail5Vsb = 1037,
    LabelRail5V = 1038,
    LabelRail3V3 = 1039,
    LabelInputVoltage = 1056,
    LabelEnergy = 1057,
    LabelInputCurrent = 1058,
    LabelInputPower = 1059,
    LabelTemperature = 1065,
    LabelFanSpeed = 1066,
};

// What the reading pipeline needs of the window. Each operation is carried out on the window's thread, in
// the order given, and done by the time EndReadings or ShowWarning returns; the text is UTF-8.
class ReadingDisplay {
public:
    virtual ~ReadingDisplay() = default;
    virtual void SetLabelText(int controlId, const std::string& text) = 0;
    // Repaints the skin under the label at once, so the old text does not stay under the new one.
    virtual void RefreshLabelArea(int controlId) = 0;
    // A modal box with OK and an exclamation icon, captioned with the application's title.
    virtual void ShowWarning(const std::string& text) = 0;
    // The pass has written its eleven readings. A display that carries them to another thread may hold
    // the texts and refreshes back until now, and then carries them out in their order in one go: one
    // wait for the window per pass instead of twenty-two.
    virtual void EndReadings() {}
};
