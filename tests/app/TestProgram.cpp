#include "app/Program.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

namespace pellorin::app {
namespace {

TEST(Program, StartsAndEndsInOrderOnce)
{
    ui::PresetDialogs dialogs;
    Program program(dialogs, "http://127.0.0.1:9");
    EXPECT_EQ(program.RunningVersion(), "");
    program.CreateMainWindow();
    EXPECT_EQ(program.RunningVersion(), "2.1");
    program.Pool()->Create(2);
    program.CleanUp();
    program.CleanUp();
    EXPECT_EQ(program.Journal(),
        (std::vector<std::string>{"site list", "task pool", "main window", "running version", "update check",
            "clean-up: running version", "clean-up: site list", "clean-up: task pool"}));
    EXPECT_EQ(program.Pool(), nullptr);
}

} // namespace
} // namespace pellorin::app
