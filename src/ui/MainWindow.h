#pragma once

#include "lists/ResultsTable.h"
#include "ui/ResultsModel.h"
#include "ui/SharedValue.h"

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
class MainWindow : public QMainWindow {
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

    bool IsMultiSite() const;
    // The keyword box's text as GBK, lines separated by CR LF.
    text::Text KeywordText() const;
    SharedValue<text::Text>& DomainMirror() { return m_domain; }
    SharedValue<bool>& LandingMirror() { return m_landing; }
    const std::string& SearchBase() const { return m_searchBase; }

    // Handlers, public so that tests can drive them as the user would.
    void ImportKeywords();
    // Enables the list menu's commands by the clicked list and its selection.
    void PrepareListMenu(int list);
    QMenu& ListMenu() { return *m_listMenu; }
    void SearchSelectedKeyword();
    void OpenSelectedUrl();
    void OnMultiSiteClicked(bool checked);
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
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
};

} // namespace pellorin::ui
