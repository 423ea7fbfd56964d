#pragma once

#include "device/HidPlatform.h"

#include <optional>
#include <string>

struct udev;

// A node the search found but could not open for reading or writing.
struct HidOpenFailure {
    std::string path;
    int errorNumber = 0;

    // The node exists but belongs to somebody else: the udev rule that grants access is missing.
    bool IsPermissionDenied() const;
};

// hidraw nodes found through libudev. Query handles need no access to the node: the IDs come from the HID_ID
// property of the parent "hid" device.
class LinuxHidPlatform final : public HidPlatform {
public:
    LinuxHidPlatform();
    ~LinuxHidPlatform() override;
    LinuxHidPlatform(const LinuxHidPlatform&) = delete;
    LinuxHidPlatform& operator=(const LinuxHidPlatform&) = delete;

    std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() override;
    std::unique_ptr<HidDeviceHandle> Open(const std::string& path, HidAccess access) override;

    // The first failed read or write open since the last enumeration, so that a caller can tell a supply it
    // may not open from a missing one.
    const std::optional<HidOpenFailure>& LastOpenFailure() const { return m_lastOpenFailure; }

private:
    std::unique_ptr<HidDeviceHandle> OpenQuery(const std::string& path);

    udev* m_udev;
    std::optional<HidOpenFailure> m_lastOpenFailure;
};
