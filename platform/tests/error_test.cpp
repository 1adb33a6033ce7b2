#include <windows.h>

#include <gtest/gtest.h>
#include <thread>

TEST(LastError, IsKeptPerThread) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    DWORD other = 0;
    std::thread t([&] {
        SetLastError(ERROR_ACCESS_DENIED);
        other = GetLastError();
    });
    t.join();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(other, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}
