#pragma once

#include "lists/ResultsTable.h"
#include "query/QueryEnvironment.h"
#include "ui/ResultsModel.h"
#include "ui/SharedValue.h"

#include "run/QueryRun.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace pellorin::tasks {
class TaskPool;
}

namespace pellorin::ui {

class Dialogs;
class SiteListWindow;
class StatusParts;

// The program's main window: keywords, site and run settings, the two report lists, the
// run buttons, the status label and the status line. Controls carry their design names as
// objectName. Task threads never touch it: they read the mirrors of the domain box and the
// landing box, and write cells into the report lists' tables.
class MainWindow : public QMainWindow, private run::RunFront {
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QString&)>;
    static constexpr int kSingleSiteList = 1;
    static constexpr int kMultiSiteList = 2;

    MainWindow(tasks::TaskPool& pool, Dialogs& dialogs, std::string searchBase, UrlOpener openUrl = {});
    ~MainWindow() override;

    // The report list of a mode, its model and its view.
    ResultsModel& List(int list);
    QTableView& ListView(int list);
    StatusParts& StatusLine() { return *m_statusLine; }
    SiteListWindow* SiteList() { return m_siteListWindow; } // null until first opened

    bool IsMultiSiteMode() const;
    // The keyword box's text as GBK, lines separated by CR LF.
    text::Text KeywordBoxText() const;
    SharedValue<text::Text>& DomainMirror() { return m_domain; }
    SharedValue<bool>& LandingMirror() { return m_landing; }
    const std::string& SearchBase() const { return m_searchBase; }

    // Handlers, public so that tests can drive them as the user would.
    void ImportKeywords() override;
    // Enables the list menu's commands by the clicked list and its selection.
    void PrepareListMenu(int list);
    QMenu& ListMenu() { return *m_listMenu; }
    void SearchSelectedKeyword();
    void OpenSelectedUrl();
    void OnMultiSiteClicked(bool checked);
    void ShowAbout();
    void ExportList();
    run::QueryRun& Run() { return m_run; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the tasks of one list read the window's settings and write their cells.
    class ListEnvironment final : public query::QueryEnvironment {
    public:
        ListEnvironment(MainWindow& window, lists::ResultsTable& table)
            : m_window(window)
            , m_table(table)
        {
        }
        text::Text SiteDomain() override { return m_window.m_domain.Get(); }
        bool LandingPagesWanted() override { return m_window.m_landing.Get(); }
        std::string SearchBase() override { return m_window.m_searchBase; }
        void SetCell(int row, int column, const text::Text& text) override { m_table.SetCell(row, column, text); }

    private:
        MainWindow& m_window;
        lists::ResultsTable& m_table;
    };

    // What a run reads from and shows in this window.
    bool IsMultiSite() override;
    text::Text SiteDomain() override;
    text::Text SiteListBoxText() override;
    text::Text SiteListText() override;
    text::Text KeywordText() override;
    text::Text ThreadCountText() override;
    text::Text IntervalText() override;
    bool SmartWaitOn() override;
    text::Text SmartWaitEveryText() override;
    text::Text SmartWaitMinutesText() override;
    void ShowList(bool multiSite) override;
    void Message(std::string_view text) override;
    run::StartCaption Caption() override;
    void SetCaption(run::StartCaption caption) override;
    void SetStatus(std::string_view text) override;
    void SetStatusRed() override;
    void SetStatusPart(int index, std::string_view text) override;
    void SetSiteColumns(const query::SiteList& sites) override;
    lists::ResultsTable& ListTable(bool multiSite) override;
    query::QueryEnvironment& Environment(bool multiSite) override;

    enum class Anchor { Fixed, Stretch, BelowLists, BelowListsWide };
    struct Placed {
        QWidget* widget;
        QRect design;
        Anchor anchor;
    };

    void BuildControls(QWidget* central);
    void BuildLists(QWidget* central);
    void BuildMenus();
    template<class Widget>
    Widget* Add(QWidget* parent, const char16_t* name, QRect design, Anchor anchor = Anchor::Fixed);
    int SelectedRow(int list) const;
    void ShowListMenu(int list, const QPoint& globalPosition);

    tasks::TaskPool& m_pool;
    Dialogs& m_dialogs;
    const std::string m_searchBase;
    UrlOpener m_openUrl;

    lists::ResultsTable m_singleSiteTable;
    lists::ResultsTable m_multiSiteTable;
    ResultsModel* m_singleSiteModel = nullptr;
    ResultsModel* m_multiSiteModel = nullptr;
    QTableView* m_singleSiteView = nullptr;
    QTableView* m_multiSiteView = nullptr;

    QLineEdit* m_domainBox = nullptr;
    QCheckBox* m_multiSiteBox = nullptr;
    QCheckBox* m_landingBox = nullptr;
    QPlainTextEdit* m_keywordBox = nullptr;
    StatusParts* m_statusLine = nullptr;
    QMenu* m_listMenu = nullptr;
    QAction* m_searchKeywordAction = nullptr;
    QAction* m_openUrlAction = nullptr;
    SiteListWindow* m_siteListWindow = nullptr;

    SharedValue<text::Text> m_domain;
    SharedValue<bool> m_landing;
    std::vector<Placed> m_placed;
    QSize m_designSize;

    QPushButton* m_startButton = nullptr;
    QString m_exportFileName; // the file of the last export, offered again
    QLabel* m_statusLabel = nullptr;
    QComboBox* m_threadBox = nullptr;
    QLineEdit* m_intervalBox = nullptr;
    QCheckBox* m_smartWaitBox = nullptr;
    QLineEdit* m_smartEveryBox = nullptr;
    QLineEdit* m_smartMinutesBox = nullptr;
    ListEnvironment m_singleSiteEnvironment{*this, m_singleSiteTable};
    ListEnvironment m_multiSiteEnvironment{*this, m_multiSiteTable};
    run::EventLoopWaits m_waits;
    run::QueryRun m_run{*this, m_pool, m_waits};
};

} // namespace pellorin::ui
