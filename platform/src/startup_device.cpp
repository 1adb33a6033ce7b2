// Getting the device ready before the program runs: its folder, the link to the executable,
// the shipped data files and the documents folder.
#include <platform/device.h>
#include <platform/entry.h>
#include <platform/safefile.h>
#include <platform/utf.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace plat {
namespace {

// Programs built and shipped together; each start links the ones it finds beside itself, so
// either can start the other through the device.
constexpr const char* kShippedPrograms[] = {"scribbo", "wakelaunch"};
// The shipped data files are small; anything larger is not ours to copy.
constexpr std::uint64_t kMaxDataFile = 64u << 20;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The entry of dir called name in any case, as the device matches names; dir/name when there
// is none.
fs::path FindEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (SameNameIgnoringCase(it->path().filename().string(), name))
            return it->path();
    return dir / name;
}

bool MakeFolder(const fs::path& parent, const std::string& name, fs::path* made,
                std::string* error) {
    *made = FindEntry(parent, name);
    std::error_code ec;
    fs::create_directories(*made, ec);
    if (!fs::is_directory(*made, ec)) {
        *error = "cannot make the folder " + made->string();
        return false;
    }
    return true;
}

// A link is replaced through a temporary name so that it is never missing in between.
bool LinkTo(const fs::path& link, const fs::path& target, std::string* error) {
    std::error_code ec;
    fs::file_status st = fs::symlink_status(link, ec);
    if (fs::exists(st)) {
        if (!fs::is_symlink(st))
            return true; // a real file put there by the user stays
        if (fs::read_symlink(link, ec) == target && !ec)
            return true;
    }
    fs::path temp = link;
    temp += ".link-" + std::to_string(getpid());
    fs::remove(temp, ec);
    fs::create_symlink(target, temp, ec);
    if (!ec)
        fs::rename(temp, link, ec);
    if (ec) {
        fs::remove(temp, ec);
        *error = "cannot link " + link.string() + " to " + target.string();
        return false;
    }
    return true;
}

// The data folder's own files are Korean; these sub-folders hold the other languages.
constexpr const char* kTranslations[] = {"en"};

// The regular files directly in dir, by name; sub-folders hold build inputs, not shipped files.
std::map<std::string, fs::path> FilesIn(const fs::path& dir) {
    std::map<std::string, fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc))
            files[it->path().filename().string()] = it->path();
    }
    return files;
}

bool ReadSmall(const fs::path& path, std::vector<unsigned char>* bytes) {
    return ReadHostFile(path.string(), kMaxDataFile, bytes) == 0;
}

// True when the device's copy is exactly what some language other than the chosen one ships
// under that name: the user did not make it, so switching languages may replace it.
bool IsOtherLanguageCopy(const fs::path& dest, const std::vector<unsigned char>& chosen,
                         const std::vector<fs::path>& versions) {
    std::vector<unsigned char> have, shipped;
    if (!ReadSmall(dest, &have) || have == chosen)
        return false;
    for (const fs::path& version : versions)
        if (ReadSmall(version, &shipped) && shipped == have)
            return true;
    return false;
}

// Copies in the data files of the language the folder lacks; a copy appears under its name
// only when complete.
bool CopyData(const fs::path& data, const std::string& language, const fs::path& folder,
              std::string* error) {
    std::map<std::string, fs::path> files = FilesIn(data);
    // Every shipped version of each translated file, to recognise an untouched copy by.
    std::map<std::string, std::vector<fs::path>> versions;
    for (const char* translation : kTranslations) {
        for (const auto& [name, path] : FilesIn(data / translation)) {
            if (auto base = files.find(name); base != files.end())
                versions[name].push_back(base->second);
            versions[name].push_back(path);
        }
    }
    if (language != "ko")
        for (const auto& [name, path] : FilesIn(data / language))
            files[name] = path;

    bool ok = true;
    for (const auto& [name, source] : files) {
        fs::path dest = FindEntry(folder, name);
        std::error_code ec;
        bool exists = fs::exists(fs::symlink_status(dest, ec));
        std::vector<unsigned char> bytes;
        if (exists && !versions.count(name))
            continue;
        int err = ReadSmall(source, &bytes) ? 0 : EIO;
        if (!err && exists &&
            (!fs::is_regular_file(fs::symlink_status(dest, ec)) ||
             !IsOtherLanguageCopy(dest, bytes, versions[name])))
            continue;
        SafeReplace copy;
        if (!err)
            err = copy.Open(dest.string());
        if (!err)
            err = copy.Write(bytes.data(), bytes.size());
        // A missing file that appeared meanwhile is the user's and stays.
        if (!err && (err = copy.Commit(!exists)) == EEXIST)
            err = 0;
        if (err) {
            *error = "cannot copy " + source.string() + " into " + folder.string();
            ok = false;
        }
    }
    return ok;
}

} // namespace

bool PrepareDevice(const DeviceSetup& setup, std::string* error) {
    error->clear();
    fs::path root = DeviceRoot();
    fs::path programFiles, folder, documents;
    if (!MakeFolder(root, "Program Files", &programFiles, error) ||
        !MakeFolder(programFiles, "Scribbo", &folder, error))
        return false;
    bool ok = true;
    std::string step;
    if (!setup.executable.empty()) {
        fs::path exe(setup.executable);
        if (!LinkTo(FindEntry(folder, ToUtf8(setup.programName) + ".exe"), exe, &step)) {
            ok = false;
            *error = step;
        }
        for (const char* other : kShippedPrograms) {
            fs::path sibling = exe.parent_path() / other;
            std::error_code ec;
            if (sibling == exe || !fs::is_regular_file(sibling, ec) ||
                access(sibling.c_str(), X_OK) != 0)
                continue;
            if (!LinkTo(FindEntry(folder, std::string(other) + ".exe"), sibling, &step) && ok) {
                ok = false;
                *error = step;
            }
        }
    }
    for (const std::string& dir : setup.dataDirs) {
        std::error_code ec;
        if (dir.empty() || !fs::is_directory(dir, ec))
            continue;
        if (!CopyData(dir, setup.language, folder, &step) && ok) {
            ok = false;
            *error = step;
        }
        break;
    }
    if (!MakeFolder(root, "My Documents", &documents, &step) && ok) {
        ok = false;
        *error = step;
    }
    return ok;
}

} // namespace plat
