#include <platform/entry.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Parsed {
    plat::StartAction action;
    plat::StartOptions options;
    std::vector<std::string> rest;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "scribbo");
    Parsed p;
    p.action = plat::ParseStartOptions(static_cast<int>(args.size()), args.data(), &p.options,
                                       &p.rest, &p.error);
    return p;
}

} // namespace

TEST(StartOptions, TakesItsOwnOptionsAndLeavesTheProgramsInOrder) {
    Parsed p = Parse({"/n", "--device", "/tmp/dev", "-f", "my memo.pad", "--screen=240x320",
                      "--scale", "2", "--headless", "--script", "run.txt", "--verbose", "/s"});
    ASSERT_EQ(p.action, plat::StartAction::Run) << p.error;
    EXPECT_EQ(p.options.deviceDir, "/tmp/dev");
    EXPECT_EQ(p.options.screenWidth, 240);
    EXPECT_EQ(p.options.screenHeight, 320);
    EXPECT_EQ(p.options.scale, 2);
    EXPECT_TRUE(p.options.headless);
    EXPECT_EQ(p.options.scriptPath, "run.txt");
    EXPECT_EQ(p.rest, (std::vector<std::string>{"/n", "-f", "my memo.pad", "--verbose", "/s"}));
}

TEST(StartOptions, DefaultsWhenNothingIsGiven) {
    Parsed p = Parse({});
    ASSERT_EQ(p.action, plat::StartAction::Run);
    EXPECT_EQ(p.options.deviceDir, "");
    EXPECT_EQ(p.options.screenWidth, 480);
    EXPECT_EQ(p.options.screenHeight, 640);
    EXPECT_EQ(p.options.scale, 0);
    EXPECT_FALSE(p.options.headless);
    EXPECT_EQ(p.options.scriptPath, "");
    EXPECT_TRUE(p.rest.empty());
}

TEST(StartOptions, DoubleDashHandsEverythingAfterItToTheProgram) {
    Parsed p = Parse({"--scale=3", "--", "--screen", "abc", "--help"});
    ASSERT_EQ(p.action, plat::StartAction::Run);
    EXPECT_EQ(p.options.scale, 3);
    EXPECT_EQ(p.rest, (std::vector<std::string>{"--screen", "abc", "--help"}));
}

TEST(StartOptions, HelpWins) {
    EXPECT_EQ(Parse({"--help"}).action, plat::StartAction::Help);
    EXPECT_EQ(Parse({"/n", "--screen", "240x320", "--help"}).action, plat::StartAction::Help);
    EXPECT_FALSE(plat::StartUsage("scribbo").empty());
    EXPECT_NE(plat::StartUsage("scribbo").find("--screen"), std::string::npos);
}

TEST(StartOptions, BadValuesFailWithOneLineNamingTheOption) {
    const std::vector<std::vector<const char*>> bad = {{"--screen", "abc"},
                                                       {"--screen", "240x"},
                                                       {"--screen", "x320"},
                                                       {"--screen", "0x320"},
                                                       {"--screen", "240x-5"},
                                                       {"--screen=240x320x2"},
                                                       {"--screen", "99999x320"},
                                                       {"--scale", "0"},
                                                       {"--scale", "17"},
                                                       {"--scale", "2x"},
                                                       {"--scale="},
                                                       {"--device"},
                                                       {"--device="},
                                                       {"--script"},
                                                       {"--lang", "de"},
                                                       {"--lang"},
                                                       {"--headless=yes"},
                                                       {"--help=me"}};
    for (const auto& args : bad) {
        Parsed p = Parse(args);
        EXPECT_EQ(p.action, plat::StartAction::Fail) << args[0];
        EXPECT_FALSE(p.error.empty()) << args[0];
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
        std::string option(args[0]);
        option = option.substr(0, option.find('='));
        EXPECT_NE(p.error.find(option), std::string::npos) << p.error;
    }
}

TEST(StartOptions, LanguageComesFromTheOptionElseTheLocale) {
    EXPECT_EQ(Parse({"--lang", "en", "/n"}).options.language, "en");
    EXPECT_EQ(Parse({"--lang=ko"}).options.language, "ko");
    EXPECT_EQ(Parse({"/n"}).options.language, "");
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "ko_KR.UTF-8", "ko"},
        {nullptr, nullptr, "en_GB.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "en"},
        {"", "ko_KR", "de_DE", "ko"},      // an empty variable does not count
        {"C", "ko_KR", "ko_KR", "en"},     // LC_ALL wins
        {nullptr, "fr_FR", "ko_KR", "en"}, // then LC_MESSAGES
        {"ko", nullptr, nullptr, "ko"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::LocaleLanguage(c.all, c.messages, c.lang), c.expected)
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " "
            << (c.lang ? c.lang : "-");
}

TEST(StartOptions, ScreenAcceptsEitherCaseOfX) {
    Parsed p = Parse({"--screen", "640X480"});
    ASSERT_EQ(p.action, plat::StartAction::Run);
    EXPECT_EQ(p.options.screenWidth, 640);
    EXPECT_EQ(p.options.screenHeight, 480);
}

TEST(CommandLine, QuotesArgumentsWithSpacesAndKeepsTheRest) {
    EXPECT_EQ(plat::BuildCommandLine({}), u"");
    EXPECT_EQ(plat::BuildCommandLine({"/n"}), u"/n");
    EXPECT_EQ(plat::BuildCommandLine({"-f", "\\My Documents\\a.pad"}),
              u"-f \"\\My Documents\\a.pad\"");
    EXPECT_EQ(plat::BuildCommandLine({"a\tb", "", "c"}), u"\"a\tb\" \"\" c");
    EXPECT_EQ(plat::BuildCommandLine({"/f", "메모.pad"}), u"/f 메모.pad");
}

TEST(CommandLine, GetCommandLineReturnsWhatWasSet) {
    plat::SetCommandLine(u"/n \"x y\"");
    EXPECT_EQ(std::u16string(GetCommandLineW()), u"/n \"x y\"");
    plat::SetCommandLine(u"");
    EXPECT_EQ(GetCommandLineW()[0], 0);
}
