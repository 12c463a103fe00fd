#include "app/Program.h"

#include "ui/MainWindow.h"

namespace pellorin::app {

Program::Program(ui::Dialogs& dialogs, std::string searchBase)
    : m_dialogs(dialogs)
    , m_searchBase(std::move(searchBase))
{
    m_siteList = std::make_shared<const query::SiteList>();
    m_journal.emplace_back("site list");
    m_pool = std::make_unique<tasks::TaskPool>();
    m_journal.emplace_back("task pool");
}

Program::~Program()
{
    CleanUp();
}

ui::MainWindow& Program::CreateMainWindow()
{
    m_mainWindow = std::make_unique<ui::MainWindow>(*m_pool, m_dialogs, m_searchBase);
    m_journal.emplace_back("main window");
    OnMainWindowCreated();
    return *m_mainWindow;
}

void Program::OnMainWindowCreated()
{
    m_runningVersion = std::string(kVersion);
    m_journal.emplace_back("running version");
    // The update check comes with the self-update; until then there is nothing to check.
    m_journal.emplace_back("update check");
}

void Program::CleanUp()
{
    if (m_cleanedUp)
        return;
    m_cleanedUp = true;
    // Closing the window stops the pool; the window goes first so that no handler outlives it.
    if (m_mainWindow)
        m_pool->Stop();
    m_mainWindow.reset();
    m_runningVersion.clear();
    m_journal.emplace_back("clean-up: running version");
    m_siteList.reset();
    m_journal.emplace_back("clean-up: site list");
    m_pool.reset();
    m_journal.emplace_back("clean-up: task pool");
}

} // namespace pellorin::app
