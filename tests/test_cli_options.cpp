#include <gtest/gtest.h>

#include "startup/cli_options.h"

using namespace mv;

namespace {

struct Row {
    std::vector<std::string> arguments;
    std::optional<int> status;  // nullopt: the switches decide
    std::string out, err;       // texts each stream must contain ("" for an empty stream)
};

void expectRow(const Row& row, CliSystem system) {
    std::string shown;
    for (const auto& a : row.arguments) shown += "[" + a + "]";
    const auto answer = AnswerCommandLine(row.arguments, system);
    ASSERT_EQ(answer.has_value(), row.status.has_value()) << shown;
    if (!answer) return;
    EXPECT_EQ(answer->status, *row.status) << shown;
    if (row.out.empty()) EXPECT_EQ(answer->out, "") << shown;
    else EXPECT_NE(answer->out.find(row.out), std::string::npos) << shown << " out: " << answer->out;
    if (row.err.empty()) EXPECT_EQ(answer->err, "") << shown;
    else EXPECT_NE(answer->err.find(row.err), std::string::npos) << shown << " err: " << answer->err;
}

}  // namespace

TEST(CommandLineOptions, LinuxAnswersHelpVersionAndMistakesAndLeavesTheSwitchesAlone) {
    const std::string usage = "Usage: marvoscope";
    const Row rows[] = {
        {{"--help"}, 0, "man marvoscope", ""},
        {{"-h"}, 0, "--window-id ID", ""},
        {{"--version"}, 0, "marvoscope 1.0\n", ""},
        {{"-V"}, 0, "marvoscope 1.0\n", ""},
        {{"--bogus"}, 2, "", "marvoscope: unrecognised option '--bogus'\n" + usage},
        {{"-x"}, 2, "", "unrecognised option '-x'"},
        {{"-s"}, 2, "", "unrecognised option '-s'"},
        {{"help"}, std::nullopt, "", ""},
        // Switches that open no window end here, quietly, before a display is needed.
        {{"/x"}, 0, "", ""},
        {{"/p", "1234"}, 0, "", ""},
        {{"/x", "--root"}, std::nullopt, "", ""},
        {{"/a"}, std::nullopt, "", ""},
        {{}, std::nullopt, "", ""},
        {{""}, std::nullopt, "", ""},
        {{"/S", "--"}, std::nullopt, "", ""},
        {{"/S", "--help"}, std::nullopt, "", ""},
        {{"  /c:1234"}, std::nullopt, "", ""},
        // Hosted mode: the hosts' own options are ignored, help is still help.
        {{"-root", "-fps", "-visual", "default"}, std::nullopt, "", ""},
        {{"--window-id=0x400001", "--bogus"}, std::nullopt, "", ""},
        {{"--root", "--help"}, 0, "Hosted mode", ""},
        // A value is not an option, even when it starts with a dash.
        {{"--root", "--file", "-h"}, std::nullopt, "", ""},
        {{"--file", "pic.gif"}, 2, "", "--file works only with --root, --window-id or --layer"},
        {{"--placement", "fit"}, 2, "", "--placement works only with --root, --window-id or --layer"},
        {{"--root", "--placement", "fit"}, std::nullopt, "", ""},
        {{"--", "--help"}, std::nullopt, "", ""},
    };
    for (const Row& row : rows) expectRow(row, CliSystem::Posix);
}

TEST(CommandLineOptions, WindowsAnswersOnlyHelpAndVersion) {
    const Row rows[] = {
        {{"--help"}, 0, "Marvoscope.scr [/S | /C | /P | /A]", ""},
        {{"--version"}, 0, "marvoscope 1.0", ""},
        {{"-s"}, std::nullopt, "", ""},
        {{"--bogus"}, std::nullopt, "", ""},
        {{"/a"}, std::nullopt, "", ""},
        {{"/x"}, std::nullopt, "", ""},
        {{}, std::nullopt, "", ""},
    };
    for (const Row& row : rows) expectRow(row, CliSystem::Windows);
    // No hosted options on Windows, and its settings are in the registry.
    const std::string help = HelpText(CliSystem::Windows);
    EXPECT_EQ(help.find("--root"), std::string::npos);
    EXPECT_NE(help.find("HKEY_CURRENT_USER"), std::string::npos);
}
