#include "tasks/TaskPool.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/SiteListWindow.h"
#include "ui/StatusParts.h"

#include "support/Gbk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace pellorin::ui {
namespace {

const std::string kBase = "http://127.0.0.1:9";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : window(pool, dialogs, kBase, [this](const QString& url) { opened.push_back(url); })
    {
    }

    template<class Widget>
    Widget* Find(const char16_t* name)
    {
        return window.findChild<Widget*>(QString::fromUtf16(name));
    }

    void TypeKeywords(const QString& text)
    {
        Find<QPlainTextEdit>(u"编辑框_关键词")->setPlainText(text);
        window.ImportKeywords();
    }

    void Select(int list, int row)
    {
        QTableView& view = window.ListView(list);
        view.selectionModel()->select(
            view.model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    tasks::TaskPool pool;
    PresetDialogs dialogs;
    std::vector<QString> opened;
    MainWindow window;
};

TEST_F(MainWindowTest, ControlsHaveTheirNamesTextsAndDefaults)
{
    struct Case {
        const char16_t* name;
        const char16_t* text;
    } labels[] = {
        {u"标签_状态", u"状态：未开始......"},
        {u"标签12", u"如果查询结果都为空，或都为-，表示ip暂时被百度限制，请等一会儿再查."},
        {u"标签11", u"多个网站："},
        {u"标签2", u"单个网站："},
        {u"标签13", u"次请求,等待:"},
        {u"标签14", u"分钟后继续查询"},
        {u"标签7", u"毫秒"},
        {u"标签6", u"查询间隔："},
        {u"标签3", u"线程："},
        {u"标签4", u"搜索引擎："},
        {u"标签9", u"五、总体排名数据统计：↓↓"},
        {u"标签5", u"四、查询结果:( - 表示在前十页无排名 )"},
        {u"标签1", u"三、关键词（一行一个，个数不限）"},
    };
    for (const Case& c : labels) {
        const QLabel* label = Find<QLabel>(c.name);
        ASSERT_NE(label, nullptr) << QString::fromUtf16(c.name).toStdString();
        EXPECT_EQ(label->text(), QString::fromUtf16(c.text));
    }
    const Case buttons[] = {{u"按钮_停止", u"停止"}, {u"按钮_导入关键词", u"导入>>>"}, {u"按钮2", u"导出列表"},
        {u"按钮_开始查询", u"开始查询"}};
    for (const Case& c : buttons)
        EXPECT_EQ(Find<QPushButton>(c.name)->text(), QString::fromUtf16(c.text));
    const Case groups[] = {
        {u"分组框2", u"一、网站设置（只能2选1）"}, {u"分组框1", u"二、参数设置"}, {u"分组框3", u"智能设置(默认关闭)"}};
    for (const Case& c : groups)
        EXPECT_EQ(Find<QGroupBox>(c.name)->title(), QString::fromUtf16(c.text));
    const Case edits[] = {{u"编辑框_网站域名", u""}, {u"编辑框_查询条数", u"50"}, {u"编辑框_查询条数间隔", u"3"},
        {u"编辑框_间隔时间", u"300"}};
    for (const Case& c : edits)
        EXPECT_EQ(Find<QLineEdit>(c.name)->text(), QString::fromUtf16(c.text));
    EXPECT_TRUE(Find<QLabel>(u"标签10")->text().startsWith(QString::fromUtf16(u"如：")));

    struct Check {
        const char16_t* name;
        const char16_t* text;
        bool checked;
    } checks[] = {
        {u"选择框_是否多站点", u"【多站点查询】", false},
        {u"选择框_查询条数", u"每发送:", false},
        {u"选择框_着陆页", u"查询着陆页", true},
    };
    for (const Check& c : checks) {
        EXPECT_EQ(Find<QCheckBox>(c.name)->text(), QString::fromUtf16(c.text));
        EXPECT_EQ(Find<QCheckBox>(c.name)->isChecked(), c.checked);
    }
    const QComboBox* threads = Find<QComboBox>(u"组合框_线程数量");
    EXPECT_TRUE(threads->isEditable());
    EXPECT_EQ(threads->currentText(), QStringLiteral("1"));
    EXPECT_EQ(threads->count(), 6);
    EXPECT_EQ(threads->itemText(5), QStringLiteral("50"));
    EXPECT_FALSE(Find<QComboBox>(u"组合框2")->isEditable());
    EXPECT_EQ(Find<QComboBox>(u"组合框2")->currentText(), QString::fromUtf16(u"百度"));
    EXPECT_EQ(window.windowTitle(),
        QString::fromUtf16(u"KorrimPellorinV2.1（无查询限制,一次查询N万个，支持多站点查询及智能等待）"));

    // Group box children stand where the design puts them, relative to their box.
    EXPECT_EQ(Find<QLineEdit>(u"编辑框_网站域名")->geometry(), QRect(72, 35, 124, 22));
    EXPECT_EQ(Find<QLineEdit>(u"编辑框_网站域名")->parentWidget(), Find<QGroupBox>(u"分组框2"));
    EXPECT_EQ(window.ListView(MainWindow::kSingleSiteList).geometry(), QRect(275, 142, 629, 360));

    const QStringList singleSiteTitles = {QString::fromUtf16(u"序号"), QString::fromUtf16(u"关键词"),
        QString::fromUtf16(u"排名"), QStringLiteral("URL ( 着陆页-landing page )")};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(window.List(MainWindow::kSingleSiteList).headerData(column, Qt::Horizontal).toString(),
            singleSiteTitles[column]);
    EXPECT_EQ(window.List(MainWindow::kMultiSiteList).columnCount(), 2);
    EXPECT_FALSE(window.ListView(MainWindow::kSingleSiteList).isHidden());
    EXPECT_TRUE(window.ListView(MainWindow::kMultiSiteList).isHidden());

    EXPECT_EQ(window.StatusLine().PartText(0), QStringLiteral("TOP100:"));
    EXPECT_EQ(window.StatusLine().PartText(16), QString::fromUtf16(u"关键词总数"));
    EXPECT_EQ(window.StatusLine().PartText(19), QStringLiteral("- BY KORRIM"));
    EXPECT_EQ(window.StatusLine().PartText(20), QString());

    const QList<QAction*> help = window.menuBar()->actions();
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0]->text(), QString::fromUtf16(u"-帮助-"));
    const QList<QAction*> items = help[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString::fromUtf16(u"更新软件"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString::fromUtf16(u"关于软件"));
}

TEST_F(MainWindowTest, ListMenuRules)
{
    TypeKeywords(QStringLiteral("a\nb"));
    const QList<QAction*> commands = window.ListMenu().actions();
    ASSERT_EQ(commands.size(), 2);

    window.PrepareListMenu(MainWindow::kSingleSiteList);
    EXPECT_FALSE(commands[0]->isEnabled());
    EXPECT_FALSE(commands[1]->isEnabled());

    Select(MainWindow::kSingleSiteList, 1);
    window.PrepareListMenu(MainWindow::kSingleSiteList);
    EXPECT_TRUE(commands[0]->isEnabled());
    EXPECT_TRUE(commands[1]->isEnabled());

    window.List(MainWindow::kMultiSiteList).AppendRow({"1", "x"});
    Select(MainWindow::kMultiSiteList, 0);
    window.PrepareListMenu(MainWindow::kMultiSiteList);
    EXPECT_TRUE(commands[0]->isEnabled());
    EXPECT_FALSE(commands[1]->isEnabled());
}

TEST_F(MainWindowTest, ListCommandsOpenTheSelectedRowsAddresses)
{
    TypeKeywords(QString::fromUtf16(u"关键词\nplain"));
    window.List(MainWindow::kSingleSiteList).Table().SetCell(1, 3, "http://www.site.example/a?b=1&amp;c");
    Select(MainWindow::kSingleSiteList, 0);
    window.SearchSelectedKeyword();
    Select(MainWindow::kSingleSiteList, 1);
    window.OpenSelectedUrl();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QString::fromStdString(kBase + "/s?wd=%E5%85%B3%E9%94%AE%E8%AF%8D"));
    EXPECT_EQ(opened[1], QStringLiteral("http://www.site.example/a?b=1&amp;c"));

    // The mode decides the list, not the list clicked: the multi-site list has no selection.
    Find<QCheckBox>(u"选择框_是否多站点")->click();
    window.SearchSelectedKeyword();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], QString::fromStdString(kBase + "/s?wd="));
}

TEST_F(MainWindowTest, MultiSiteBoxAndSiteListWindow)
{
    QCheckBox* multiSite = Find<QCheckBox>(u"选择框_是否多站点");
    QLineEdit* domain = Find<QLineEdit>(u"编辑框_网站域名");
    EXPECT_EQ(window.SiteList(), nullptr);

    multiSite->click();
    ASSERT_NE(window.SiteList(), nullptr);
    EXPECT_TRUE(window.SiteList()->isVisible());
    EXPECT_FALSE(domain->isEnabled());

    multiSite->click(); // unchecking leaves the site-list window alone
    EXPECT_TRUE(domain->isEnabled());
    EXPECT_TRUE(window.SiteList()->isVisible());

    multiSite->click();
    EXPECT_FALSE(domain->isEnabled());
    window.SiteList()->close(); // closing it leaves multi-site mode
    EXPECT_FALSE(multiSite->isChecked());
    EXPECT_TRUE(domain->isEnabled());
}

TEST_F(MainWindowTest, ImportFillsTheListOfTheCurrentModeOnly)
{
    TypeKeywords(QStringLiteral("kw1\n\n\nkw2\n"));
    lists::ResultsTable& single = window.List(MainWindow::kSingleSiteList).Table();
    ASSERT_EQ(single.RowCount(), 2);
    EXPECT_EQ(single.Cell(0, 0), "1");
    EXPECT_EQ(single.Cell(1, 1), "kw2");

    Find<QCheckBox>(u"选择框_是否多站点")->click();
    TypeKeywords(QString::fromUtf16(u"其一\n其二\n其三"));
    lists::ResultsTable& multi = window.List(MainWindow::kMultiSiteList).Table();
    ASSERT_EQ(multi.RowCount(), 3);
    EXPECT_EQ(multi.Cell(2, 1), test::Gbk("其三"));
    EXPECT_EQ(single.RowCount(), 2);
}

TEST_F(MainWindowTest, TasksReadMirrorsOfTheControls)
{
    EXPECT_TRUE(window.LandingMirror().Get());
    Find<QLineEdit>(u"编辑框_网站域名")->setText(QString::fromUtf16(u"站点.example"));
    Find<QCheckBox>(u"选择框_着陆页")->setChecked(false);
    EXPECT_EQ(window.DomainMirror().Get(), test::Gbk("站点.example"));
    EXPECT_FALSE(window.LandingMirror().Get());
}

TEST_F(MainWindowTest, ClosingStopsThePool)
{
    pool.Create(2);
    window.show();
    window.close();
    EXPECT_TRUE(pool.IsHalted());
}

} // namespace
} // namespace pellorin::ui
