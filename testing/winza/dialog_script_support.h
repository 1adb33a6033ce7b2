// Driving the file, folder and name dialogs: an input script runs whenever their modal loop
// would sleep, so taps, keys and typed text arrive exactly in order, on the virtual clock.
#pragma once

#include "winza_test_support.h"

#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <platform/display.h>
#include <platform/entry.h>

#include <filesystem>
#include <fstream>
#include <string>

class DialogScriptTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        FreeGlobalDC();
        // The shipped toolkit texts beside the program give the dialogs their captions.
        const plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
        std::string error;
        ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
        InitGLibControl();
    }
    void TearDown() override {
        plat::UnloadInputScript();
        WinzaTest::TearDown();
        FreeGLibControl();
        FreeGlobalDC();
        ResetDisplayMode();
    }
    // Loads the script; the test fails when a line is refused.
    void Script(const std::string& text) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        const std::string path = ::testing::TempDir() + "/dialog_" + name + ".txt";
        std::ofstream(path) << text;
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    }
    void MakeFolder(const std::string& devicePath) {
        std::filesystem::create_directories(device.Host(devicePath));
    }
    void MakeFile(const std::string& devicePath, const std::string& bytes = "x") {
        std::filesystem::create_directories(
            std::filesystem::path(device.Host(devicePath)).parent_path());
        std::ofstream(device.Host(devicePath), std::ios::binary) << bytes;
    }
    TestDevice device;
};
