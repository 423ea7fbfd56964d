#include "support/ImageDigests.h"
#include "ui/win32/Win32Images.h"

#include <cstdio>

// The embedded pictures as the Win32 backend decodes them; scripts/windows-tests.sh compares this with the Qt
// backend's tests/ui/qt/ImageDigests.cpp.
int main() {
    std::fputs(ImageDigests(win32_images::Decode).c_str(), stdout);
}
