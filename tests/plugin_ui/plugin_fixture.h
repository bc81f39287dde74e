// The plug-in's dialogs in-process: our resources are linked into the test
// program, a state block and a definition copy are the current call
// pointers, and a never-shown window stands for the host's main window.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/core/plugin.h"

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override {
        gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
        state_ = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
        definition_ =
            static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), IDR_DEFINITION));
        ASSERT_TRUE(state_ && definition_);
        std::strcpy(definition_->title, "Maker Test");
        state_->definition = definition_;
        hostWindow_ = CreateWindowExA(0, "STATIC", "Host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
        platform_.mainWindow = hostWindow_;
        record_.platformData = &platform_;
        record_.aboutPlatform = &platform_;
        gHost = &record_;
        gState = state_;
        gDefinition = definition_;
    }
    void TearDown() override {
        gHost = nullptr;
        gState = nullptr;
        gDefinition = nullptr;
        if (state_ && state_->makerCopy) FreeBlock(state_->makerCopy);
        FreeBlock(definition_);
        FreeBlock(state_);
        DestroyWindow(hostWindow_);
    }

    // The editor's "Make..." step: a copy of the definition for the maker.
    FilterDefinition& MakerCopy() {
        if (!state_->makerCopy) {
            state_->makerCopy =
                static_cast<FilterDefinition*>(AllocBlock(sizeof(FilterDefinition)));
            std::memcpy(state_->makerCopy, definition_, sizeof(FilterDefinition));
        }
        return *state_->makerCopy;
    }

    // The folder of the test program, which is our "plug-in folder".
    static std::string OwnFolder() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string p = path;
        return p.substr(0, p.find_last_of("\\/") + 1);
    }

    HostRecord record_{};
    HostPlatformData platform_{};
    PluginState* state_ = nullptr;
    FilterDefinition* definition_ = nullptr;
    HWND hostWindow_ = nullptr;
};
