#include "ui/framework/ApplicationBase.h"

namespace zui {

std::string ApplicationBase::TitleFromModuleFileName(const std::string& moduleFileName) {
    const auto slash = moduleFileName.find_last_of("/\\");
    std::string name = slash == std::string::npos ? moduleFileName : moduleFileName.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) {
        name.resize(dot);
    }
    return name;
}

} // namespace zui
