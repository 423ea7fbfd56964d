#pragma once

#include "ui/framework/DialogDescription.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Registers a TrueType or OpenType font (one font, not a collection) for this process alone, where no other
// program sees it. The registration is never undone: it lasts until the process ends. Returns the family
// name in the font's own 'name' table, the name GDI knows it by, in UTF-8; nullopt when the bytes are not
// such a font or GDI refuses them.
std::optional<std::string> AddPrivateFont(std::span<const std::uint8_t> bytes);

// A font of the given family at wanted's size and weight (wanted.face, the name the program asks for, is
// ignored: family is the face that stands in for it). dpiY converts point sizes; see ui/Geometry.h for how
// the two kinds of size reach GDI. The caller deletes the font.
HFONT CreateFontOf(const zui::FontSpec& wanted, const std::string& family, int dpiY);
