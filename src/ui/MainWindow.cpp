#include "ui/MainWindow.h"

#include "lists/CsvExport.h"
#include "lists/KeywordImport.h"
#include "tasks/TaskPool.h"
#include "ui/AboutWindow.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MakerSite.h"
#include "ui/QtText.h"
#include "ui/SiteListWindow.h"
#include "ui/StatusParts.h"
#include "web/Encodings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <malloc.h>

namespace pellorin::ui {

namespace {

constexpr QSize kDesignSize(921, 625); // the client area below the menu bar
const QRect kSingleSiteListRect(275, 142, 629, 360);
const QRect kMultiSiteListRect(274, 142, 630, 360);

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// Labels and check boxes take the room their text needs when the design gives them less,
// so that no Chinese text is cut off with the fonts of this platform.
void FitText(QWidget* widget)
{
    if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget)) {
        const int needed = widget->sizeHint().width();
        if (needed > widget->width() && !(qobject_cast<QLabel*>(widget) && qobject_cast<QLabel*>(widget)->wordWrap()))
            widget->resize(needed, widget->height());
    }
}

QLabel* Hyperlink(QLabel* label, const QString& caption, const QString& target)
{
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), caption.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setAccessibleName(caption);
    return label;
}

} // namespace

template<class Widget>
Widget* MainWindow::Add(QWidget* parent, const char16_t* name, QRect design, Anchor anchor)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(Text(name));
    widget->setGeometry(design);
    m_placed.push_back({widget, design, anchor});
    return widget;
}

MainWindow::MainWindow(tasks::TaskPool& pool, Dialogs& dialogs, std::string searchBase, UrlOpener openUrl)
    : m_pool(pool)
    , m_dialogs(dialogs)
    , m_searchBase(std::move(searchBase))
    , m_openUrl(openUrl ? std::move(openUrl) : UrlOpener([](const QString& url) { OpenUrl(url); }))
    , m_landing(true)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Text(u"KorrimPellorinV2.1（无查询限制,一次查询N万个，支持多站点查询及智能等待）"));
    auto* central = new QWidget(this);
    central->setMinimumSize(kDesignSize);
    setCentralWidget(central);
    m_designSize = kDesignSize;

    BuildLists(central);
    BuildControls(central);
    BuildMenus();
    for (const Placed& placed : m_placed)
        FitText(placed.widget);
    move(50, 50);
    resize(kDesignSize.width(), kDesignSize.height() + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow()
{
    // The views and models read the tables, which go with this object's members: before the
    // base class deletes its children.
    delete m_singleSiteView;
    delete m_multiSiteView;
    delete m_singleSiteModel;
    delete m_multiSiteModel;
}

void MainWindow::BuildLists(QWidget* central)
{
    const std::pair<const char16_t*, int> singleSiteColumns[] = {
        {u"序号", 40}, {u"关键词", 120}, {u"排名", 100}, {u"URL ( 着陆页-landing page )", 320}};
    for (const auto& [title, width] : singleSiteColumns)
        m_singleSiteTable.InsertColumn(m_singleSiteTable.ColumnCount(), FromQString(Text(title)), width);
    for (const auto& [title, width] : {std::pair{u"序号", 40}, std::pair{u"关键词", 120}})
        m_multiSiteTable.InsertColumn(m_multiSiteTable.ColumnCount(), FromQString(Text(title)), width);

    m_singleSiteModel = new ResultsModel(m_singleSiteTable, this);
    m_multiSiteModel = new ResultsModel(m_multiSiteTable, this);
    m_singleSiteView = Add<QTableView>(central, u"超级列表框1", kSingleSiteListRect, Anchor::Stretch);
    m_multiSiteView = Add<QTableView>(central, u"超级列表框2", kMultiSiteListRect, Anchor::Stretch);
    for (auto [view, model, list] : {std::tuple{m_singleSiteView, m_singleSiteModel, kSingleSiteList},
             std::tuple{m_multiSiteView, m_multiSiteModel, kMultiSiteList}}) {
        view->setModel(model);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(18);
        view->setWordWrap(false);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        for (int column = 0; column < model->columnCount(); ++column)
            view->setColumnWidth(column, model->Table().ColumnWidth(column));
        connect(view, &QWidget::customContextMenuRequested, this, [this, view, list](const QPoint& position) {
            ShowListMenu(list, view->viewport()->mapToGlobal(position));
        });
    }
    // Only one list shows at a time; a run shows the one of its mode.
    m_multiSiteView->hide();
}

void MainWindow::BuildControls(QWidget* central)
{
    Hyperlink(Add<QLabel>(central, u"超级链接框1", {844, 598, 53, 16}, Anchor::BelowLists), Text(u"官网反馈"),
        kFeedbackPage.toString());
    m_statusLabel = Add<QLabel>(central, u"标签_状态", {275, 516, 621, 16}, Anchor::BelowLists);
    m_statusLabel->setText(Text(u"状态：未开始......"));
    auto* hint = Add<QLabel>(central, u"标签12", {503, 111, 394, 24});
    hint->setText(Text(u"如果查询结果都为空，或都为-，表示ip暂时被百度限制，请等一会儿再查."));
    hint->setWordWrap(true);

    auto* siteGroup = Add<QGroupBox>(central, u"分组框2", {31, 11, 208, 101});
    siteGroup->setTitle(Text(u"一、网站设置（只能2选1）"));
    auto* separator = Add<QFrame>(siteGroup, u"分隔条1", {3, 65, 200, 2});
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    Add<QLabel>(siteGroup, u"标签11", {8, 73, 56, 24})->setText(Text(u"多个网站："));
    auto* domainLabel = Add<QLabel>(siteGroup, u"标签2", {8, 30, 56, 32});
    domainLabel->setText(Text(u"单个网站："));
    m_domainBox = Add<QLineEdit>(siteGroup, u"编辑框_网站域名", {72, 35, 124, 22});
    m_domainBox->setAccessibleName(domainLabel->text());
    domainLabel->setBuddy(m_domainBox);
    Add<QLabel>(siteGroup, u"标签10", {74, 13, 113, 20})->setText(Text(u"如：") + kExampleDomain.toString());
    m_multiSiteBox = Add<QCheckBox>(siteGroup, u"选择框_是否多站点", {73, 74, 122, 19});
    m_multiSiteBox->setText(Text(u"【多站点查询】"));

    auto* settingsGroup = Add<QGroupBox>(central, u"分组框1", {272, 10, 632, 84});
    settingsGroup->setTitle(Text(u"二、参数设置"));
    auto* smartGroup = Add<QGroupBox>(settingsGroup, u"分组框3", {312, 12, 311, 62});
    smartGroup->setTitle(Text(u"智能设置(默认关闭)"));
    auto* smartBox = m_smartWaitBox = Add<QCheckBox>(smartGroup, u"选择框_查询条数", {8, 26, 63, 24});
    smartBox->setText(Text(u"每发送:"));
    auto* requestsBox = m_smartEveryBox = Add<QLineEdit>(smartGroup, u"编辑框_查询条数", {71, 25, 32, 24});
    requestsBox->setText(QStringLiteral("50"));
    requestsBox->setAccessibleName(smartBox->text());
    auto* requestsLabel = Add<QLabel>(smartGroup, u"标签13", {108, 25, 75, 24});
    requestsLabel->setText(Text(u"次请求,等待:"));
    auto* minutesBox = m_smartMinutesBox = Add<QLineEdit>(smartGroup, u"编辑框_查询条数间隔", {183, 25, 29, 24});
    minutesBox->setText(QStringLiteral("3"));
    minutesBox->setAccessibleName(requestsLabel->text());
    Add<QLabel>(smartGroup, u"标签14", {216, 25, 83, 24})->setText(Text(u"分钟后继续查询"));
    Add<QLabel>(settingsGroup, u"标签7", {267, 51, 30, 24})->setText(Text(u"毫秒"));
    auto* intervalBox = m_intervalBox = Add<QLineEdit>(settingsGroup, u"编辑框_间隔时间", {233, 51, 32, 24});
    intervalBox->setText(QStringLiteral("300"));
    auto* intervalLabel = Add<QLabel>(settingsGroup, u"标签6", {173, 51, 53, 24});
    intervalLabel->setText(Text(u"查询间隔："));
    intervalBox->setAccessibleName(intervalLabel->text());
    intervalLabel->setBuddy(intervalBox);
    auto* threadLabel = Add<QLabel>(settingsGroup, u"标签3", {23, 17, 40, 24});
    threadLabel->setText(Text(u"线程："));
    auto* threadBox = m_threadBox = Add<QComboBox>(settingsGroup, u"组合框_线程数量", {64, 21, 59, 20});
    threadBox->setEditable(true);
    threadBox->addItems({QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"),
        QStringLiteral("30"), QStringLiteral("50")});
    threadBox->setCurrentIndex(0);
    threadBox->setAccessibleName(threadLabel->text());
    threadLabel->setBuddy(threadBox);
    auto* engineLabel = Add<QLabel>(settingsGroup, u"标签4", {172, 13, 59, 24});
    engineLabel->setText(Text(u"搜索引擎："));
    auto* engineBox = Add<QComboBox>(settingsGroup, u"组合框2", {233, 16, 61, 24});
    engineBox->addItem(Text(u"百度"));
    engineBox->setAccessibleName(engineLabel->text());
    m_landingBox = Add<QCheckBox>(settingsGroup, u"选择框_着陆页", {26, 52, 83, 24});
    m_landingBox->setText(Text(u"查询着陆页"));
    m_landingBox->setChecked(true);

    auto* statisticsLabel = Add<QLabel>(central, u"标签9", {4, 595, 134, 24}, Anchor::BelowLists);
    statisticsLabel->setText(Text(u"五、总体排名数据统计：↓↓"));
    statisticsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* stopButton = Add<QPushButton>(central, u"按钮_停止", {554, 543, 104, 32}, Anchor::BelowLists);
    stopButton->setText(Text(u"停止"));
    auto* importButton = Add<QPushButton>(central, u"按钮_导入关键词", {82, 530, 62, 32}, Anchor::BelowLists);
    importButton->setText(Text(u"导入>>>"));
    m_statusLine = new StatusParts(central);
    m_statusLine->setObjectName(Text(u"状态条1"));
    m_statusLine->setGeometry(0, 605, 928, 20);
    m_placed.push_back({m_statusLine, m_statusLine->geometry(), Anchor::BelowListsWide});
    auto* exportButton = Add<QPushButton>(central, u"按钮2", {720, 543, 104, 32}, Anchor::BelowLists);
    exportButton->setText(Text(u"导出列表"));
    connect(exportButton, &QPushButton::clicked, this, &MainWindow::ExportList);
    m_startButton = Add<QPushButton>(central, u"按钮_开始查询", {344, 543, 104, 32}, Anchor::BelowLists);
    m_startButton->setText(Text(u"开始查询"));
    Add<QLabel>(central, u"标签5", {271, 114, 233, 16})->setText(Text(u"四、查询结果:( - 表示在前十页无排名 )"));
    auto* keywordLabel = Add<QLabel>(central, u"标签1", {32, 124, 216, 16});
    keywordLabel->setText(Text(u"三、关键词（一行一个，个数不限）"));
    m_keywordBox = Add<QPlainTextEdit>(central, u"编辑框_关键词", {32, 144, 208, 360});
    m_keywordBox->setAccessibleName(keywordLabel->text());
    m_keywordBox->setLineWrapMode(QPlainTextEdit::NoWrap);

    // The hyperlink and the statistics heading overlap the status line, as designed: keep
    // them on top.
    findChild<QLabel*>(Text(u"超级链接框1"))->raise();
    statisticsLabel->raise();

    connect(
        m_domainBox, &QLineEdit::textChanged, this, [this](const QString& text) { m_domain.Set(FromQString(text)); });
    connect(m_landingBox, &QCheckBox::toggled, this, [this](bool checked) { m_landing.Set(checked); });
    connect(m_multiSiteBox, &QCheckBox::clicked, this, &MainWindow::OnMultiSiteClicked);
    connect(importButton, &QPushButton::clicked, this, &MainWindow::ImportKeywords);
    connect(m_startButton, &QPushButton::clicked, this, [this] { m_run.OnStartClicked(); });
    connect(stopButton, &QPushButton::clicked, this, [this] { m_run.OnStopClicked(); });
}

void MainWindow::BuildMenus()
{
    QMenu* help = menuBar()->addMenu(Text(u"-帮助-"));
    help->setObjectName(QStringLiteral("menu_help"));
    QAction* update = help->addAction(Text(u"更新软件"));
    update->setObjectName(QStringLiteral("action_update"));
    help->addSeparator();
    QAction* about = help->addAction(Text(u"关于软件"));
    about->setObjectName(QStringLiteral("action_about"));
    connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);

    // Not in the menu bar: the report lists' context menu.
    m_listMenu = new QMenu(Text(u"打开百度"), this);
    m_listMenu->setObjectName(QStringLiteral("menu_open_baidu"));
    m_searchKeywordAction = m_listMenu->addAction(Text(u"百度搜索此关键词"));
    m_openUrlAction = m_listMenu->addAction(Text(u"浏览器打开此URL"));
    connect(m_searchKeywordAction, &QAction::triggered, this, &MainWindow::SearchSelectedKeyword);
    connect(m_openUrlAction, &QAction::triggered, this, &MainWindow::OpenSelectedUrl);
}

ResultsModel& MainWindow::List(int list)
{
    return list == kMultiSiteList ? *m_multiSiteModel : *m_singleSiteModel;
}

QTableView& MainWindow::ListView(int list)
{
    return list == kMultiSiteList ? *m_multiSiteView : *m_singleSiteView;
}

bool MainWindow::IsMultiSiteMode() const
{
    return m_multiSiteBox->isChecked();
}

text::Text MainWindow::KeywordBoxText() const
{
    // The text box ends its lines with LF; the keyword rules read CR LF. An LF byte is never
    // part of a GBK character, so the bytes can be changed directly.
    const text::Text lines = FromQString(m_keywordBox->toPlainText());
    text::Text text;
    text.reserve(lines.size() + lines.size() / 8);
    for (const char c : lines) {
        if (c == '\n')
            text.push_back('\r');
        text.push_back(c);
    }
    return text;
}

void MainWindow::ImportKeywords()
{
    const text::Text keywords = KeywordBoxText();
    List(IsMultiSiteMode() ? kMultiSiteList : kSingleSiteList).RebuildRows([&keywords](lists::ResultsTable& table) {
        lists::ImportKeywords(table, keywords);
    });
    // A large import leaves megabytes of freed working copies: give them back to the system.
    malloc_trim(0);
}

int MainWindow::SelectedRow(int list) const
{
    const QTableView* view = list == kMultiSiteList ? m_multiSiteView : m_singleSiteView;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void MainWindow::PrepareListMenu(int list)
{
    const bool selected = SelectedRow(list) >= 0;
    m_searchKeywordAction->setEnabled(selected);
    m_openUrlAction->setEnabled(list == kSingleSiteList && selected); // the multi-site list has no URL column
}

void MainWindow::ShowListMenu(int list, const QPoint& globalPosition)
{
    PrepareListMenu(list);
    m_listMenu->popup(globalPosition + QPoint(3, 3));
}

void MainWindow::SearchSelectedKeyword()
{
    // The list is the one of the mode now, not necessarily the one clicked.
    const int list = IsMultiSiteMode() ? kMultiSiteList : kSingleSiteList;
    const text::Text keyword = List(list).Table().Cell(SelectedRow(list), 1);
    const std::string address = m_searchBase + "/s?wd=" + web::UrlEncodeUtf8(keyword, true, true);
    m_openUrl(QString::fromLatin1(address));
}

void MainWindow::OpenSelectedUrl()
{
    const int list = IsMultiSiteMode() ? kMultiSiteList : kSingleSiteList;
    m_openUrl(ToQString(List(list).Table().Cell(SelectedRow(list), 3)));
}

void MainWindow::OnMultiSiteClicked(bool checked)
{
    if (!checked) {
        m_domainBox->setEnabled(true);
        return;
    }
    if (!m_siteListWindow) {
        m_siteListWindow = new SiteListWindow(this, m_dialogs);
        connect(m_siteListWindow, &SiteListWindow::Closed, this, [this] {
            m_multiSiteBox->setChecked(false);
            m_domainBox->setEnabled(true);
        });
    }
    m_siteListWindow->ShowNormal();
    m_domainBox->setEnabled(false);
}

void MainWindow::ExportList()
{
    const bool multiSite = IsMultiSiteMode();
    const SaveFileChoice choice =
        m_dialogs.SaveFile({QString(), QStringLiteral("csv (*.csv)"), QStringLiteral("csv"), m_exportFileName});
    if (!choice.confirmed)
        return;
    m_exportFileName = choice.path;
    const std::string bytes =
        lists::ExportText(ListTable(multiSite), multiSite, m_run.LastSiteList(), FromQString(kMakerSite.toString()));
    if (const auto failure = lists::WriteFileReplacing(choice.path.toStdString(), bytes)) {
        m_dialogs.Message(Text(u"导出失败：") + QString::fromStdString(*failure), MessageButtons::Ok);
        return;
    }
    m_dialogs.Message(Text(u"导出成功"), MessageButtons::Ok);
}

void MainWindow::ShowAbout()
{
    AboutWindow about(this);
    about.exec();
}

bool MainWindow::IsMultiSite()
{
    return IsMultiSiteMode();
}

text::Text MainWindow::SiteDomain()
{
    return FromQString(m_domainBox->text());
}

text::Text MainWindow::SiteListBoxText()
{
    return m_siteListWindow ? m_siteListWindow->BoxText() : text::Text();
}

text::Text MainWindow::SiteListText()
{
    return m_siteListWindow ? m_siteListWindow->SiteListText() : text::Text();
}

text::Text MainWindow::KeywordText()
{
    return KeywordBoxText();
}

text::Text MainWindow::ThreadCountText()
{
    return FromQString(m_threadBox->currentText());
}

text::Text MainWindow::IntervalText()
{
    return FromQString(m_intervalBox->text());
}

bool MainWindow::SmartWaitOn()
{
    return m_smartWaitBox->isChecked();
}

text::Text MainWindow::SmartWaitEveryText()
{
    return FromQString(m_smartEveryBox->text());
}

text::Text MainWindow::SmartWaitMinutesText()
{
    return FromQString(m_smartMinutesBox->text());
}

void MainWindow::ShowList(bool multiSite)
{
    m_singleSiteView->setVisible(!multiSite);
    m_multiSiteView->setVisible(multiSite);
}

void MainWindow::Message(std::string_view text)
{
    m_dialogs.Message(ToQString(text), MessageButtons::Ok);
}

run::StartCaption MainWindow::Caption()
{
    const QString caption = m_startButton->text();
    if (caption == Text(u"暂停查询"))
        return run::StartCaption::Pause;
    if (caption == Text(u"恢复查询"))
        return run::StartCaption::Resume;
    return run::StartCaption::Start;
}

void MainWindow::SetCaption(run::StartCaption caption)
{
    switch (caption) {
    case run::StartCaption::Start:
        m_startButton->setText(Text(u"开始查询"));
        break;
    case run::StartCaption::Pause:
        m_startButton->setText(Text(u"暂停查询"));
        break;
    case run::StartCaption::Resume:
        m_startButton->setText(Text(u"恢复查询"));
        break;
    }
}

void MainWindow::SetStatus(std::string_view text)
{
    m_statusLabel->setText(ToQString(text));
}

void MainWindow::SetStatusRed()
{
    QPalette palette = m_statusLabel->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    m_statusLabel->setPalette(palette);
}

void MainWindow::SetStatusPart(int index, std::string_view text)
{
    m_statusLine->SetPartText(index, ToQString(text));
}

void MainWindow::SetSiteColumns(const query::SiteList& sites)
{
    ResultsModel& model = *m_multiSiteModel;
    while (model.columnCount() > 2)
        model.RemoveColumn(model.columnCount() - 1);
    for (const text::Text& site : sites)
        model.InsertColumn(model.columnCount(), site, 100);
    for (int column = 0; column < model.columnCount(); ++column)
        m_multiSiteView->setColumnWidth(column, model.Table().ColumnWidth(column));
}

lists::ResultsTable& MainWindow::ListTable(bool multiSite)
{
    return multiSite ? m_multiSiteTable : m_singleSiteTable;
}

query::QueryEnvironment& MainWindow::Environment(bool multiSite)
{
    return multiSite ? static_cast<query::QueryEnvironment&>(m_multiSiteEnvironment) : m_singleSiteEnvironment;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_pool.Stop(); // every running query is abandoned
    QMainWindow::closeEvent(event);
    EndProgram(); // also when the site-list window is still open
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The report lists take what the window grows by; what stands below them moves down.
    const QSize client = centralWidget()->size();
    const int wider = std::max(0, client.width() - m_designSize.width());
    const int taller = std::max(0, client.height() - m_designSize.height());
    for (const Placed& placed : m_placed) {
        QRect rect = placed.widget->geometry();
        switch (placed.anchor) {
        case Anchor::Fixed:
            continue;
        case Anchor::Stretch:
            rect.setSize(placed.design.size() + QSize(wider, taller));
            break;
        case Anchor::BelowLists:
            rect.moveTop(placed.design.top() + taller);
            break;
        case Anchor::BelowListsWide:
            rect.moveTop(placed.design.top() + taller);
            rect.setWidth(placed.design.width() + wider);
            break;
        }
        placed.widget->setGeometry(rect);
    }
}

} // namespace pellorin::ui
