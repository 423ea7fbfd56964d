#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/DialogUnits.h"

#include <QFont>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The process's private fonts and the QFonts of the framework's font specs. Faces come resolved to the
// families they stand for (UiPlatform::ResolveFace).
namespace QtFonts {

// Adds the bytes to Qt's application fonts; the family they hold, or nullopt.
std::optional<std::string> Add(std::span<const std::uint8_t> bytes);

// The font asked for, on a screen of this vertical DPI; the sizes as ui/Geometry.h explains them.
QFont FontOf(const zui::FontSpec& wanted, int dpiY);
// A dialog template's font.
QFont DialogFont(const std::string& family, int points, int weight);
// The font's dialog base units: its average character width and its height.
zui::DialogBaseUnits BaseUnitsOf(const QFont& font);

} // namespace QtFonts
