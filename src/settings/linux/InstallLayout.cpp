#include "settings/linux/InstallLayout.h"

#include <filesystem>
#include <system_error>

namespace install_layout {

std::string LogoDirectory(const std::string& executablePath) {
    const std::filesystem::path beside = std::filesystem::path(executablePath).parent_path();
    // ZEPHYRINE_LOGO_DIRECTORY_FROM_BINDIR: the data directory relative to the bin directory, as installed.
    const std::filesystem::path installed =
        (beside / ZEPHYRINE_LOGO_DIRECTORY_FROM_BINDIR).lexically_normal();
    std::error_code error;
    return std::filesystem::is_regular_file(installed / "logo.png", error) ? installed.string()
                                                                           : beside.string();
}

} // namespace install_layout
