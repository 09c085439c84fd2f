#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace {

using cli::ParseCommandLine;
using cli::ScriptedAnswer;
using cli::UsageError;

cli::EnvironmentLookup Env(std::map<std::string, std::string> vars) {
    return [vars](const std::string& name) -> std::optional<std::string> {
        auto it = vars.find(name);
        return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

TEST(CommandLine, OptionsMayStandAnywhereAndRepeat) {
    auto cl = ParseCommandLine({"--answer", "yes", "resave", "a.xlsx", "--answer=no", "--input", "第一", "b.xlsx",
                                "--input=", "--pick", "", "--pick=x.xlsx", "--seed", "4294967295", "--out", "o", "--no-save"},
                               Env({{"HOME", "/h"}}));
    EXPECT_EQ(cl.command, "resave");
    EXPECT_EQ(cl.arguments, (std::vector<std::string>{"a.xlsx", "b.xlsx"}));
    EXPECT_EQ(cl.options.answers, (std::deque<ScriptedAnswer>{ScriptedAnswer::Yes, ScriptedAnswer::No}));
    EXPECT_EQ(cl.options.inputs, (std::deque<std::string>{"第一", ""}));
    EXPECT_EQ(cl.options.picks, (std::deque<std::string>{"", "x.xlsx"}));
    EXPECT_EQ(cl.options.seed, 4294967295u);
    EXPECT_EQ(cl.options.outDir, "o");
    EXPECT_TRUE(cl.options.noSave);
    EXPECT_FALSE(cl.options.help);
}

TEST(CommandLine, DoubleDashEndsOptions) {
    auto cl = ParseCommandLine({"dump", "--", "--help"}, Env({}));
    EXPECT_EQ(cl.arguments, (std::vector<std::string>{"--help"}));
    EXPECT_FALSE(cl.options.help);
}

TEST(CommandLine, SystemFileComesFromOptionThenEnvironmentThenHome) {
    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        std::string expected;
    };
    const Case cases[] = {
        {{"--system", "/s.xlsx"}, {{"TOLM_SYSTEM", "/e.xlsx"}, {"HOME", "/h"}}, "/s.xlsx"},
        {{}, {{"TOLM_SYSTEM", "/e.xlsx"}, {"HOME", "/h"}}, "/e.xlsx"},
        {{}, {{"TOLM_SYSTEM", ""}, {"HOME", "/h"}}, "/h/考场编排/考场编排系统.xlsx"},
        {{}, {{"HOME", "/h"}}, "/h/考场编排/考场编排系统.xlsx"},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseCommandLine(c.args, Env(c.env)).options.systemFile, c.expected);
}

TEST(CommandLine, SeedComesFromOptionThenEnvironment) {
    EXPECT_EQ(ParseCommandLine({"--seed", "5"}, Env({{"TOLM_SEED", "9"}})).options.seed, 5u);
    EXPECT_EQ(ParseCommandLine({}, Env({{"TOLM_SEED", "9"}})).options.seed, 9u);
    EXPECT_FALSE(ParseCommandLine({}, Env({})).options.seed.has_value());
    // A valid option wins over a broken environment value.
    EXPECT_EQ(ParseCommandLine({"--seed=3"}, Env({{"TOLM_SEED", "x"}})).options.seed, 3u);
}

TEST(CommandLine, FlagsAreRecognised) {
    auto cl = ParseCommandLine({"sample", "--help", "--version"}, Env({}));
    EXPECT_TRUE(cl.options.help);
    EXPECT_TRUE(cl.options.version);
    EXPECT_TRUE(ParseCommandLine({"-h"}, Env({})).options.help);
}

TEST(CommandLine, BadInputIsAUsageErrorNamingTheCulprit) {
    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        std::string named;
    };
    const Case cases[] = {
        {{"--frobnicate"}, {}, "--frobnicate"},
        {{"dump", "--answer"}, {}, "--answer"},
        {{"--answer", "maybe"}, {}, "maybe"},
        {{"--answer", "YES"}, {}, "YES"},
        {{"--seed", "12x"}, {}, "12x"},
        {{"--seed", ""}, {}, "--seed"},
        {{"--seed", "-1"}, {}, "-1"},
        {{"--seed", "4294967296"}, {}, "4294967296"},
        {{"--out="}, {}, "--out"},
        {{}, {{"TOLM_SEED", "abc"}}, "TOLM_SEED"},
    };
    for (const Case& c : cases) {
        try {
            ParseCommandLine(c.args, Env(c.env));
            ADD_FAILURE() << "accepted: " << c.named;
        } catch (const UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
    }
}

}  // namespace

namespace {

TEST(CommandLine, ACommandsOwnFlagTakesNoValue) {
    auto flags = [](const std::string& command, const std::string& option) {
        return command == "print" && option == "--preview";
    };
    auto values = [](const std::string& command, const std::string& option) {
        return command == "print" && option == "--pdf";
    };
    const cli::CommandLine cl = cli::ParseCommandLine({"print", "--preview", "表.xlsx", "--pdf", "出.pdf"},
                                                      [](const std::string&) { return std::nullopt; }, values, flags);
    EXPECT_EQ(cl.arguments, std::vector<std::string>{"表.xlsx"});
    ASSERT_EQ(cl.options.commandOptions.size(), 2u);
    EXPECT_EQ(cl.options.commandOptions[0], (std::pair<std::string, std::string>{"--preview", ""}));
    EXPECT_EQ(cl.options.commandOptions[1], (std::pair<std::string, std::string>{"--pdf", "出.pdf"}));
    // Before the command's name the flag is nobody's.
    EXPECT_THROW(cli::ParseCommandLine({"--preview", "print"}, [](const std::string&) { return std::nullopt; }, values, flags),
                 cli::UsageError);
}

}  // namespace
