#pragma once

#include <gtest/gtest.h>

#include <string>

// Names each case of a parameterised table after its `name` field.
struct CaseName {
    template <typename Case> std::string operator()(const testing::TestParamInfo<Case>& tested) const {
        return tested.param.name;
    }
};
