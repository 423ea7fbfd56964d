#include "settings/CCConfigFile.h"

void CCConfigFile::SetModuleDirectory() {
    const std::string module = m_platform.ModuleFileName();
    const auto separator = module.rfind(m_platform.PathSeparator());
    m_directory = separator == std::string::npos ? std::string() : module.substr(0, separator);
}

int CCConfigFile::PrepareFile(const std::string& fileName) {
    m_created = 0;
    m_exists = 0;
    if (fileName.empty()) {
        return 0;
    }
    m_fullPath = PathOf(fileName);
    if (m_platform.PathExists(m_fullPath)) {
        m_exists = 1;
        return 0;
    }
    if (!m_platform.CreateNewFile(m_fullPath)) {
        return 0;
    }
    m_created = 1;
    return 1;
}
