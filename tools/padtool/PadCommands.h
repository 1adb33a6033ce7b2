// The commands of padtool. Each returns the exit status and, on failure, a one-line reason.
// Memo, JSON and PNG paths are host paths; one that begins with a backslash is a device path
// below the device root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace padtool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFile = 1;
inline constexpr int kExitUsage = 2;

// A memo file larger than this is not read.
inline constexpr long long kMaxMemoBytes = 256ll << 20;

// The dump of a memo file's bytes, and the file bytes create makes of a JSON text (the same
// as written to disk); false with a reason.
bool DumpMemo(const std::vector<unsigned char>& file, std::string& json, std::string& why);
// lost, when given, tells whether the file came back other than the JSON said.
bool BuildMemo(std::string_view json, std::vector<unsigned char>& file, std::string& why,
               bool* lost = nullptr);

int RunInfo(const std::string& memo, std::string& why);
int RunDump(const std::string& memo, std::string& why);
int RunCreate(const std::string& out, const std::string& jsonPath, std::string& why);

struct RenderRequest {
    std::string memo;
    std::string out;
    int page = 1; // from 1
    int zoom = 100;
    bool all = false; // one file per page: OUT-1.png, OUT-2.png, ...
};
int RunRender(const RenderRequest& request, std::string& why);

// "pic.png" and 3 give "pic-3.png"; a name without ".png" gets "-3.png" appended.
std::string PageFileName(const std::string& out, int page);

} // namespace padtool
