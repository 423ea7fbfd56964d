#include "device/linux/LinuxHidPlatform.h"

#include "device/linux/DevnodeOrder.h"
#include "device/linux/HidId.h"
#include "device/linux/HidrawHandle.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <libudev.h>
#include <sys/stat.h>

namespace {

// Answers only the IDs; reads and writes go through handles opened for them.
class HidrawQueryHandle final : public HidDeviceHandle {
public:
    explicit HidrawQueryHandle(std::optional<HidAttributes> attributes) : m_attributes(attributes) {}

    std::optional<HidAttributes> GetAttributes() override { return m_attributes; }
    int Read(std::uint8_t*, std::size_t) override { return -1; }
    void CancelRead() override {}
    HidWriteStatus Write(const std::uint8_t*, std::size_t) override { return HidWriteStatus::Failed; }
    void WaitForPendingWrite() override {}
    void CancelWrite() override {}

private:
    const std::optional<HidAttributes> m_attributes;
};

struct UdevEnumerateUnref {
    void operator()(udev_enumerate* enumerate) const { udev_enumerate_unref(enumerate); }
};
struct UdevDeviceUnref {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using UdevDevicePtr = std::unique_ptr<udev_device, UdevDeviceUnref>;

std::optional<HidAttributes> AttributesOf(udev_device* hidraw) {
    // The parent belongs to the child and is released with it.
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char* hidId = hid == nullptr ? nullptr : udev_device_get_property_value(hid, "HID_ID");
    return hidId == nullptr ? std::nullopt : ParseHidId(hidId);
}

} // namespace

bool HidOpenFailure::IsPermissionDenied() const {
    return errorNumber == EACCES || errorNumber == EPERM;
}

LinuxHidPlatform::LinuxHidPlatform() : m_udev(udev_new()) {}

LinuxHidPlatform::~LinuxHidPlatform() {
    udev_unref(m_udev);
}

std::optional<std::vector<HidInterfaceEntry>> LinuxHidPlatform::EnumerateInterfaces() {
    m_lastOpenFailure.reset();
    if (m_udev == nullptr) {
        return std::nullopt;
    }
    std::unique_ptr<udev_enumerate, UdevEnumerateUnref> enumerate(udev_enumerate_new(m_udev));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        return std::nullopt;
    }
    std::vector<HidInterfaceEntry> entries;
    udev_list_entry* item = nullptr;
    udev_list_entry_foreach(item, udev_enumerate_get_list_entry(enumerate.get())) {
        const UdevDevicePtr device(udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(item)));
        const char* devnode = device ? udev_device_get_devnode(device.get()) : nullptr;
        // A node that vanished between the scan and now is simply not present any more.
        if (devnode != nullptr) {
            entries.push_back({devnode, true});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const HidInterfaceEntry& a, const HidInterfaceEntry& b) {
        return DevnodeLess(a.path, b.path);
    });
    return entries;
}

std::unique_ptr<HidDeviceHandle> LinuxHidPlatform::OpenQuery(const std::string& path) {
    // stat() needs no access to the node itself, so the search sees a supply it may not open.
    struct stat node {};
    if (m_udev == nullptr || stat(path.c_str(), &node) != 0 || !S_ISCHR(node.st_mode)) {
        return nullptr;
    }
    const UdevDevicePtr device(udev_device_new_from_devnum(m_udev, 'c', node.st_rdev));
    if (!device) {
        return nullptr;
    }
    return std::make_unique<HidrawQueryHandle>(AttributesOf(device.get()));
}

std::unique_ptr<HidDeviceHandle> LinuxHidPlatform::Open(const std::string& path, HidAccess access) {
    if (access == HidAccess::Query) {
        return OpenQuery(path);
    }
    const int mode = access == HidAccess::Read ? O_RDONLY : O_WRONLY;
    const int fd = open(path.c_str(), mode | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (!m_lastOpenFailure) {
            m_lastOpenFailure = HidOpenFailure{path, errno};
        }
        return nullptr;
    }
    return HidrawHandle::Adopt(fd);
}
