#include "support/ImageDigests.h"
#include "ui/qt/QtImages.h"

#include <cstdio>

// The embedded pictures as the Qt backend decodes them; scripts/windows-tests.sh compares this with the Win32
// backend's tests/win32/ImageDigests.cpp.
int main() {
    std::fputs(ImageDigests(qt_images::Decode).c_str(), stdout);
}
