#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/DialogUnits.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <map>
#include <span>
#include <string>

// The process's private fonts and the QFonts of the framework's font specs.
class QtFonts {
public:
    // Registers the bytes with Qt's application fonts and makes faceName a substitute name for the family
    // they hold: a QFont asking for faceName gets that font whatever it calls itself. Registering the same
    // bytes again only renews the name.
    bool Register(std::span<const std::uint8_t> bytes, const std::string& faceName);

    // Dialogs, message boxes and the templates' own face ("MS Shell Dlg") use faceName from now on.
    void UseFaceForDialogs(const std::string& faceName, int points);

    // The font asked for, on a screen of this vertical DPI; the sizes as ui/Geometry.h explains them.
    static QFont FontOf(const zui::FontSpec& wanted, int dpiY);
    // A dialog template's font.
    static QFont DialogFont(const std::string& face, int points, int weight);
    // The font's dialog base units: its average character width and its height.
    static zui::DialogBaseUnits BaseUnitsOf(const QFont& font);

private:
    std::map<const std::uint8_t*, QString> m_families;
};
