// Points the settings at a store file of the test's own.
#pragma once

#include "platform/store/filestore.h"
#include "settings/params.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

namespace tintorel {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto store = std::make_unique<FileRegistryStore>(folder_ / "VRQM/tintorel.reg");
        store_ = store.get();
        SetSettingsStore(std::move(store));
    }
    void TearDown() override { SetSettingsStore(nullptr); }

    // Puts a value straight into the store, of any type.
    void Put(const char* subKey, const char* name, const RegValue& value) {
        ASSERT_TRUE(store_->CreateKey(ParamsKey(subKey))->SetValue(name, value));
    }

    TestFolder folder_;
    FileRegistryStore* store_ = nullptr;
};

inline RegValue Bytes(std::uint32_t type, std::vector<std::uint8_t> data) {
    return {type, std::move(data)};
}

} // namespace tintorel
