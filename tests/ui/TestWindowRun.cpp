// A run and an export from the window's own buttons, against the fake engine.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/ResultPage.h"
#include "tasks/TaskPool.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/StatusParts.h"
#include "web/Encodings.h"

#include "support/Gbk.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace pellorin::ui {
namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(WindowRun, StartButtonRunsTheQueriesAndTheListExports)
{
    fake::FakeEngine engine;
    const std::vector<std::string> domains = {"a.example", "site.example"};
    engine.SetPage(web::UrlEncodeUtf8(test::Gbk("手机"), true, true),
        fake::BuildResultPage(fake::MakeLinkedEntries(engine, domains, 2, "1"), "q"));

    tasks::TaskPool pool;
    PresetDialogs dialogs;
    MainWindow window(pool, dialogs, engine.BaseUrl(), [](const QString&) {});
    window.findChild<QLineEdit*>(QStringLiteral("编辑框_网站域名"))->setText(QStringLiteral("site.example"));
    window.findChild<QLineEdit*>(QStringLiteral("编辑框_间隔时间"))->setText(QStringLiteral("0"));
    window.findChild<QCheckBox*>(QStringLiteral("选择框_着陆页"))->setChecked(false);
    window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框_关键词"))->setPlainText(QStringLiteral("手机\n平板"));
    auto* start = window.findChild<QPushButton*>(QStringLiteral("按钮_开始查询"));
    start->click(); // returns when the run is complete

    lists::ResultsTable& list = window.List(MainWindow::kSingleSiteList).Table();
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Cell(0, 2), "2");
    EXPECT_EQ(list.Cell(1, 2), "-"); // no page for this keyword
    EXPECT_EQ(start->text(), QStringLiteral("开始查询"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签_状态"))->text(), QStringLiteral("查询已完成！"));
    EXPECT_EQ(window.StatusLine().PartText(3), QStringLiteral("1"));  // TOP80
    EXPECT_EQ(window.StatusLine().PartText(17), QStringLiteral("2")); // keywords

    const auto folder = std::filesystem::temp_directory_path() / ("pellorin-window-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto file = folder / "ranks.csv";
    dialogs.PresetSaveChoice({true, QString::fromStdString(file.string())});
    dialogs.PresetMessageAnswer(kAnswerOk);
    window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
    const std::string bytes = ReadFile(file);
    EXPECT_TRUE(bytes.starts_with(test::Gbk("--由KorrimPellorin生成，"))) << bytes;
    EXPECT_TRUE(bytes.ends_with(test::Gbk("序号,关键词,排名,URL\r\n1,手机,2, \r\n2,平板,-, "))) << bytes;
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral("导出成功"));

    dialogs.PresetSaveChoice({true, QString::fromStdString((folder / "missing" / "x.csv").string())});
    dialogs.PresetMessageAnswer(kAnswerOk);
    window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_TRUE(dialogs.Messages()[1].text.startsWith(QStringLiteral("导出失败：")))
        << dialogs.Messages()[1].text.toStdString();
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace pellorin::ui
