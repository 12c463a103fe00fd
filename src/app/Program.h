#pragma once

#include "query/SiteQueries.h"
#include "tasks/TaskPool.h"
#include "ui/Dialogs.h"

#include <memory>
#include <string>
#include <vector>

namespace pellorin::ui {
class MainWindow;
}

namespace pellorin::app {

// The program-wide state, made at start in a fixed order and released once at the end.
class Program {
public:
    // The version this program compares with the published one.
    static constexpr std::string_view kVersion = "2.1";

    Program(ui::Dialogs& dialogs, std::string searchBase);
    ~Program(); // runs the clean-up if it has not run yet

    // Makes the main window and runs its created handler (the running version, then the
    // update check); the window is shown by the caller afterwards.
    ui::MainWindow& CreateMainWindow();
    // Releases the program-wide state; runs once, however often it is called.
    void CleanUp();

    const std::string& RunningVersion() const { return m_runningVersion; }
    tasks::TaskPool* Pool() { return m_pool.get(); }
    // What happened at start and end, in order, for those who check the order.
    const std::vector<std::string>& Journal() const { return m_journal; }

private:
    void OnMainWindowCreated();

    ui::Dialogs& m_dialogs;
    const std::string m_searchBase;
    std::shared_ptr<const query::SiteList> m_siteList;
    std::unique_ptr<tasks::TaskPool> m_pool;
    std::unique_ptr<ui::MainWindow> m_mainWindow;
    std::string m_runningVersion;
    bool m_cleanedUp = false;
    std::vector<std::string> m_journal;
};

} // namespace pellorin::app
