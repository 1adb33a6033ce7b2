#include "acceptance_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

namespace acceptance {

// Positions read off the program's own screenshots at each size (the layout code gives the
// bars; menus open where the stylus held them).
// clang-format off
const Screen kScreens[2] = {
    {.name = "240x320", .width = 240, .height = 320, .scale = 1, .topBar = 26,
     .newMemo = {38, 306}, .naviMode = {63, 306}, .viewMode = {88, 306}, .options = {114, 306},
     .folderButton = {40, 38}, .secondTab = {145, 38},
     .menuDx = 50, .menuDy = 12, .menuStep = 20,
     .treeSecond = {70, 81}, .firstSwatch = {66, 66}, .swatchStep = 20,
     .dateButton = {50, 38}, .nextWeek = {233, 38}, .calendarFirstMonday = {31, 91},
     .firstRow = {120, 70}, .firstCell = {40, 90},
     .topY = 13, .penY = 305, .barFirst = 12, .barStep = 24, .closeX = 226, .cornerX = 226,
     .presetFirst = 9, .presetStep = 16,
     .rowHeightUp = {227, 141}, .optionsOk = {78, 271}},
    {.name = "480x640", .width = 480, .height = 640, .scale = 2, .topBar = 52,
     .newMemo = {50, 613}, .naviMode = {98, 613}, .viewMode = {146, 613}, .options = {194, 613},
     .folderButton = {80, 76}, .secondTab = {290, 76},
     .menuDx = 100, .menuDy = 25, .menuStep = 40,
     .treeSecond = {140, 162}, .firstSwatch = {132, 132}, .swatchStep = 40,
     .dateButton = {130, 76}, .nextWeek = {467, 76}, .calendarFirstMonday = {62, 182},
     .firstRow = {240, 140}, .firstCell = {80, 180},
     .topY = 26, .penY = 612, .barFirst = 24, .barStep = 48, .closeX = 432, .cornerX = 432,
     .presetFirst = 17, .presetStep = 33,
     .rowHeightUp = {445, 284}, .optionsOk = {155, 543}},
};
// clang-format on

namespace {

std::string Line(const char* step, Pt p) {
    return std::string(step) + " " + std::to_string(p.x) + " " + std::to_string(p.y);
}

std::string Here() {
    return fs::read_symlink("/proc/self/exe").parent_path().string();
}

// Runs the program with args and the environment plus extra; stdout into outPath when given.
int Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
          const std::string& outPath = "") {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::none_of(extraEnv.begin(), extraEnv.end(), [&](const std::string& x) {
                return std::string(*e).rfind(x.substr(0, x.find('=') + 1), 0) == 0;
            }))
            env.push_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outPath.empty())
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

Script& Script::Tap(Pt p) {
    m_text += Line("tap", p) + "\n";
    return *this;
}

Script& Script::Hold(Pt p, int ms) {
    m_text += Line("hold", p) + " " + std::to_string(ms) + "\n";
    return *this;
}

Script& Script::DoubleTap(Pt p) {
    return Tap(p).Tap(p);
}

Script& Script::Stroke(Pt from, Pt to) {
    m_text += Line("down", from) + "\n" + Line("move", to) + " 8\n" + Line("up", to) + "\n";
    return *this;
}

Script& Script::Key(const std::string& name) {
    m_text += "key " + name + "\n";
    return *this;
}

Script& Script::Type(const std::string& text) {
    m_text += "type " + text + "\n";
    return *this;
}

Script& Script::Wait(int ms) {
    m_text += "wait " + std::to_string(ms) + "\n";
    return *this;
}

Script& Script::Shot(const std::string& path) {
    m_text += "shot " + path + "\n";
    return *this;
}

Device::Device(const Screen& s) : screen(s) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    m_shots = (fs::path(ACCEPTANCE_OUTPUT) / name).string();
    fs::remove_all(m_shots);
    fs::create_directories(m_shots);
    fs::create_directories(fs::path(m_device.Root()) / "run");
}

void Device::Seed(const std::vector<std::string>& values) {
    std::ofstream out(fs::path(m_device.Root()) / "registry.txt");
    out << "SCRIBBO REGISTRY 1\n\n[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Scribbo]\n";
    for (const std::string& v : values)
        out << v << "\n";
}

int Device::Run(const Script& script, const std::vector<std::string>& args) {
    const std::string path = (fs::path(m_device.Root()) / "script.txt").string();
    std::ofstream(path) << script.Text();
    std::vector<std::string> line{Here() + "/scribbo",
                                  "--device",
                                  m_device.Root(),
                                  "--screen",
                                  screen.name,
                                  "--lang",
                                  "en",
                                  "--headless",
                                  "--script",
                                  path};
    line.insert(line.end(), args.begin(), args.end());
    return Spawn(line, {"XDG_RUNTIME_DIR=" + m_device.Root() + "/run"});
}

std::string Device::ShotPath(const std::string& name) const {
    return m_shots + "/" + name + ".png";
}

TestPicture Device::Picture(const std::string& name) const {
    TestPicture p;
    EXPECT_TRUE(ReadTestPng(ShotPath(name), &p)) << name;
    if (p.width != screen.width || p.height != screen.height) {
        ADD_FAILURE() << name << " is " << p.width << "x" << p.height;
        p.width = screen.width;
        p.height = screen.height;
        p.pixels.assign(size_t(p.width) * size_t(p.height), 0);
    }
    return p;
}

std::vector<std::string> Device::Memos() const {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(Host("My Documents/Pad"), ec))
        if (e.path().extension() == ".pad")
            found.push_back(e.path().string());
    std::sort(found.begin(), found.end());
    return found;
}

padtool::Json Device::Dump(const std::string& hostPath) const {
    const std::string out = (fs::path(m_device.Root()) / "dump.json").string();
    padtool::Json memo;
    if (Spawn({Here() + "/padtool", "dump", hostPath}, {}, out) != 0) {
        ADD_FAILURE() << "padtool dump " << hostPath << " failed";
        return memo;
    }
    std::stringstream text;
    text << std::ifstream(out).rdbuf();
    std::string error;
    if (!padtool::JsonParse(text.str(), memo, error)) {
        ADD_FAILURE() << "the dump does not parse: " << error;
        return padtool::Json{};
    }
    return memo;
}

std::string Device::Registry() const {
    std::stringstream text;
    text << std::ifstream(fs::path(m_device.Root()) / "registry.txt").rdbuf();
    return text.str();
}

int CountNear(const TestPicture& p, int left, int top, int right, int bottom, COLORREF colour,
              int tolerance) {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, p.height); ++y)
        for (int x = std::max(0, left); x < std::min(right, p.width); ++x) {
            const COLORREF c = p.At(x, y);
            n += std::abs(int(GetRValue(c)) - int(GetRValue(colour))) <= tolerance &&
                 std::abs(int(GetGValue(c)) - int(GetGValue(colour))) <= tolerance &&
                 std::abs(int(GetBValue(c)) - int(GetBValue(colour))) <= tolerance;
        }
    return n;
}

namespace {

double Distance(COLORREF a, COLORREF b) {
    const double r = int(GetRValue(a)) - int(GetRValue(b));
    const double g = int(GetGValue(a)) - int(GetGValue(b));
    const double bl = int(GetBValue(a)) - int(GetBValue(b));
    return std::sqrt(r * r + g * g + bl * bl);
}

} // namespace

int CountInk(const TestPicture& p, int left, int top, int right, int bottom, COLORREF colour,
             COLORREF paper, double ratio) {
    const double limit = ratio * Distance(paper, colour);
    int n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, p.height); ++y)
        for (int x = std::max(0, left); x < std::min(right, p.width); ++x)
            n += Distance(p.At(x, y), colour) <= limit;
    return n;
}

const padtool::Json* Member(const padtool::Json& object, const char* key) {
    const auto* members = object.get_ptr<const padtool::Json::object_t*>();
    if (!members)
        return nullptr;
    const auto it = members->find(key);
    return it == members->end() ? nullptr : &it->second;
}

int PageCount(const padtool::Json& memo) {
    const padtool::Json* pages = Member(memo, "pages");
    return pages ? int(pages->size()) : 0;
}

const padtool::Json& Objects(const padtool::Json& memo, int page) {
    static const padtool::Json none = padtool::Json::array();
    const padtool::Json* pages = Member(memo, "pages");
    if (!pages || !pages->is_array() || page >= int(pages->size()))
        return none;
    const padtool::Json* objects = Member((*pages)[size_t(page)], "objects");
    return objects && objects->is_array() ? *objects : none;
}

std::int64_t Int(const padtool::Json& object, const char* key) {
    const padtool::Json* v = Member(object, key);
    return v && v->is_number_integer() ? v->get<std::int64_t>() : -1;
}

std::string Str(const padtool::Json& object, const char* key) {
    const padtool::Json* v = Member(object, key);
    return v && v->is_string() ? v->get<std::string>() : std::string();
}

} // namespace acceptance
