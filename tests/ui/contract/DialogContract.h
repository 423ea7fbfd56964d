#pragma once

#include "ui/framework/UiPlatform.h"

#include <memory>

// The promises every backend of the dialog framework keeps, as one suite (DialogContractTest.cpp) that each
// backend's test executable runs against its own platform: the fake, Qt and Win32.
class ContractBackend {
public:
    virtual ~ContractBackend() = default;
    virtual zui::UiPlatform& Ui() = 0;
    // The window system's notice that the user's session ends, as this backend gets it.
    virtual void EndSession() = 0;
};

// Defined once in each executable that runs the suite.
std::unique_ptr<ContractBackend> MakeContractBackend();
