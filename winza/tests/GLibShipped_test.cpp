// The toolkit's texts as a program gets them: the start-up copies the shipped data folder
// beside the program, and InitGLibControl finds "winza.lng" there.
#include "winza/GLib.h"

#include <TestDevice.h>
#include <platform/entry.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(GLibShipped, StartUpPutsTheToolkitTextsBesideTheProgram) {
    TestDevice device;
    const plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    EXPECT_TRUE(std::filesystem::is_regular_file(device.Host("Program Files/Scribbo/winza.lng")));
    EXPECT_TRUE(
        std::filesystem::is_regular_file(device.Host("Program Files/Scribbo/language.txt")));
    InitGLibControl();
    EXPECT_EQ(IsGLibTextOwned(), 1) << "loaded from the file, not the built-in table";
    EXPECT_EQ(GetGLibTextCount(), 27);
    EXPECT_EQ(std::u16string(GetGLibText(5)), u"중단"); // only the file has the abort label
    FreeGLib();
}

TEST(GLibShipped, ATextFileTheUserChangedIsKept) {
    TestDevice device;
    std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
    // UTF-16 with a byte-order mark: one line.
    std::ofstream(device.Host("Program Files/Scribbo/winza.lng"), std::ios::binary)
        << std::string("\xFF\xFE"
                       "E\0n\0\r\0\n\0",
                       10);
    const plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    InitGLibControl();
    ASSERT_EQ(GetGLibTextCount(), 1);
    EXPECT_EQ(std::u16string(GetGLibText(0)), u"En");
    FreeGLib();
}

} // namespace
