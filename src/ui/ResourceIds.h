#pragma once

// The embedded resources the main window uses (res/Resources.h serves them by these numbers).
enum BitmapId : int {
    BitmapBackground = 147,
    BitmapClearEnergyActive = 149,
    BitmapClearEnergyGreyed = 150,
    BitmapTempControlSelected = 151,
    BitmapEcoSelected = 152,
    BitmapSetSpeed = 153,
    BitmapTempControlUnselected = 155,
    BitmapEcoUnselected = 156,
};

enum : int {
    IconMain = 128,
    FontReadings = 159,
    FontCaptions = 183,
};
