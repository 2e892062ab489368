#include <kiv/host/Host.h>

#include "base/NearestName.h"
#include "host/CommandLine.h"
#include "host/RuntimeOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {

namespace {

std::vector<std::string> Texts(const char* line) {
    std::vector<std::string> out;
    for (const Argument& a : SplitCommandLine(line))
        out.push_back(a.text);
    return out;
}

TEST(CommandLine, ArgumentsComeBackAsTheyWereGivenWhateverTheyHold) {
    const std::vector<std::string> awkward = {
        "plain",      "my shot.png",     "--screenshot=my shot.png",
        "say \"hi\"", "ends\\",          "C:\\dir\\",
        "",           "two  spaces\\\\", "\\\"",
        "--x=\"q\""};
    std::vector<char*> argv = {const_cast<char*>("game")};
    for (const std::string& a : awkward)
        argv.push_back(const_cast<char*>(a.c_str()));
    EXPECT_EQ(Texts(KivCommandLine(static_cast<int>(argv.size()), argv.data())), awkward);
    EXPECT_EQ(QuoteArgument("--screenshot=my shot.png"), "--screenshot=\"my shot.png\"");
    // Lines written by hand follow the same rules.
    EXPECT_EQ(Texts("  /p  1234 \"a b\"c \\\\\\\"x "),
              (std::vector<std::string>{"/p", "1234", "a bc", "\\\"x"}));
}

TEST(CommandLine, RuntimeOptionsAreTakenAndTheRestIsLeftAsWritten) {
    std::string line = "/p 1234 --screenshot=\"my shot.png\" --hero=\"Big Bob\" --frames=7 x";
    RuntimeOptions o = RuntimeOptions::Take(line.data());
    EXPECT_EQ(o.screenshot, "my shot.png");
    EXPECT_EQ(o.frames, 7u);
    EXPECT_TRUE(o.refused.empty());
    EXPECT_STREQ(line.c_str(), "/p 1234 --hero=\"Big Bob\" x");

    line = "--frames=99999999999 --scale=3x --windowed=2 --fullscreen";
    o = RuntimeOptions::Take(line.data());
    EXPECT_EQ(o.refused.size(), 3u);
    EXPECT_EQ(o.windowed, 0);
    EXPECT_STREQ(line.c_str(), "");
}

TEST(CommandLine, NetworkOptionsAnswerTheHostOrJoinDialog) {
    std::string line = "--join=[::1]:2000 --player=Ann";
    RuntimeOptions o = RuntimeOptions::Take(line.data());
    EXPECT_TRUE(o.refused.empty());
    EXPECT_EQ(o.session, 1004);
    EXPECT_EQ(o.joinHost, "::1");
    EXPECT_EQ(o.port, 2000u);
    EXPECT_EQ(o.player, "Ann");
    line = "--host=1234";
    o = RuntimeOptions::Take(line.data());
    EXPECT_EQ(o.session, 1003);
    EXPECT_EQ(o.port, 1234u);
    line = "--host=1000 --join=nowhere --join=h:70000 --player=";
    EXPECT_EQ(RuntimeOptions::Take(line.data()).refused.size(), 4u);
}

TEST(NearestName, MistypedNamesFindTheirNearestAndOthersNone) {
    const std::vector<std::string> known = {"frames", "scale", "screenshot", "input", "log"};
    EXPECT_EQ(NearestName("framez", known), "frames");
    EXPECT_EQ(NearestName("scael", known), "scale"); // letters swapped
    EXPECT_EQ(NearestName("SCREENSHOT", known), "screenshot");
    EXPECT_EQ(NearestName("screnshoot", known), "screenshot");
    EXPECT_EQ(NearestName("level", known), "");
    EXPECT_EQ(NearestName("lg", known), "log");
    EXPECT_EQ(NearestName("xy", known), "");
}

} // namespace

} // namespace kiv
