// The site-list window and the about window: their controls as designed, the site list's OK and
// close, and the about window's links, checked by target and never opened.
#include "ui/AboutWindow.h"
#include "ui/Dialogs.h"
#include "ui/LabelFit.h"
#include "ui/MakerSite.h"
#include "ui/SiteListWindow.h"

#include "support/Gbk.h"
#include "support/Sanitizers.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pellorin::ui {
namespace {

using test::Gbk;

const std::string kExampleSitesText = "www.qq.com\r\nwww.163.com\r\nwww.sina.com.cn\r\nwww.sohu.com";

template<class Widget>
Widget* Find(const QWidget& window, const char16_t* name)
{
    return window.findChild<Widget*>(QString::fromUtf16(name));
}

struct Link {
    QString text;
    QString target;
};

// The anchors of a rich-text label, as its reader sees them.
std::vector<Link> LinksOf(const QLabel& label)
{
    QTextDocument document;
    document.setHtml(label.text());
    std::vector<Link> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().isAnchor())
                links.push_back({fragment.fragment().text(), fragment.fragment().charFormat().anchorHref()});
        }
    }
    return links;
}

// The text a control shows.
QString ShownText(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->textFormat() != Qt::RichText)
            return label->text();
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return button->text();
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(&control))
        return box->toPlainText();
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return group->title();
    return {};
}

struct Control {
    const char16_t* name;
    const char* type;
    const char16_t* parent; // null: the window
    QRect geometry;
    QString text;
};

struct Design {
    QWidget* window;
    QString title;
    QSize size;
    std::vector<Control> controls;
};

TEST(SmallWindows, ControlsStandWhereTheDesignPutsThemAndShowTheirWholeTexts)
{
    if (test::kThreadSanitizer)
        GTEST_SKIP() << "paints through Qt's own threads, which ThreadSanitizer cannot follow in this Qt";
    QWidget owner;
    PresetDialogs dialogs;
    SiteListWindow siteList(&owner, dialogs);
    AboutWindow about(&owner);
    const std::vector<Design> designs = {
        {&siteList, QStringLiteral(u"请输入要查询的站点"), {218, 347},
            {
                {u"按钮1", "QPushButton", nullptr, {53, 280, 102, 29}, QStringLiteral(u"确定")},
                {u"标签1", "QLabel", nullptr, {13, 35, 195, 24}, QStringLiteral(u"网站域名（一行一个，个数不限）")},
                {u"编辑框_多网站域名", "QPlainTextEdit", nullptr, {8, 65, 192, 208},
                    QStringLiteral("www.qq.com\nwww.163.com\nwww.sina.com.cn\nwww.sohu.com")},
                {u"标签2", "QLabel", nullptr, {83, 10, 120, 16}, QStringLiteral(u"竞争对手排名分析")},
            }},
        {&about, QStringLiteral(u"关于软件"), {435, 466},
            {
                {u"超级链接框2", "QLabel", nullptr, {80, 296, 53, 16}, QStringLiteral(u"官网反馈")},
                {u"标签8", "QLabel", nullptr, {16, 298, 400, 120},
                    QStringLiteral(
                        u"软件介绍：\n\n1、软件支持多线程、快速批量查询百度排名\n\n2、线程都可以自己设置的哦，也可直接"
                        u"写入数字"
                        u"\n\n3、查询间隔也可设置，如果没有数据可设置时间长一点\n\n4、支持查询结果导出为csv表格，"
                        u"大家可用excel处理")},
                {u"分组框1", "QGroupBox", nullptr, {16, 144, 400, 136}, QStringLiteral(u"更新日志：")},
                {u"标签_最新更新日志", "QLabel", u"分组框1", {8, 20, 384, 112},
                    QStringLiteral(u"2013年9月30日：升级至V2.1，微调软件界面，及部分潜在的bug修复，更多说明请访问 "
                                   u"https://korrim.example/1097/\n\n2013年9月25日：升级至2.0-添加多站点多关键词查询；"
                                   u"查询智能等待，部分BUG修复\n\n2013年9月22日：添加导出数据功能、添加查询间隔设置功能"
                                   u"\n\n2013年9月21日：版本1.0发布")},
                {u"图片框1", "QLabel", nullptr, {40, 30, 72, 72}, QString()},
                {u"标签1", "QLabel", nullptr, {156, 32, 132, 48}, QStringLiteral("Pellorin\n\nv2.1")},
                {u"超级链接框1", "QLabel", nullptr, {181, 92, 90, 20}, QStringLiteral(u"by Korrim博客")},
            }},
    };
    for (const Design& design : designs) {
        QWidget& window = *design.window;
        SCOPED_TRACE(design.title.toStdString());
        EXPECT_EQ(window.windowTitle(), design.title);
        EXPECT_EQ(window.size(), design.size);
        EXPECT_EQ(window.minimumSize(), design.size);
        EXPECT_EQ(window.maximumSize(), design.size);
        EXPECT_EQ(window.pos(), QPoint(50, 50));
        EXPECT_EQ(window.parentWidget(), &owner);
        for (const Control& control : design.controls) {
            SCOPED_TRACE(QString::fromUtf16(control.name).toStdString());
            const QWidget* widget = Find<QWidget>(window, control.name);
            ASSERT_NE(widget, nullptr);
            EXPECT_STREQ(widget->metaObject()->className(), control.type);
            EXPECT_EQ(
                widget->parentWidget(), control.parent == nullptr ? &window : Find<QWidget>(window, control.parent));
            EXPECT_EQ(widget->geometry(), control.geometry);
            EXPECT_EQ(ShownText(*widget), control.text);
        }
        // Whatever the desktop's font, no text is cut off; the fitting stops short of unreadable.
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_TRUE(TextFits(*label));
            EXPECT_GE(label->font().pointSizeF(), 7.0);
        }
    }
}

TEST(SiteListWindow, IsAModelessWindowOfItsOwnerWithTheExampleSites)
{
    auto owner = std::make_unique<QWidget>();
    PresetDialogs dialogs;
    QPointer<SiteListWindow> window = new SiteListWindow(owner.get(), dialogs);
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(window->SiteListText(), "");
    EXPECT_EQ(window->BoxText(), kExampleSitesText);

    // The box has no caption of its own: readers name it after the label above it.
    auto* box = Find<QPlainTextEdit>(*window, u"编辑框_多网站域名");
    ASSERT_NE(box, nullptr);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral(u"网站域名（一行一个，个数不限）"));

    owner.reset();
    EXPECT_TRUE(window.isNull());
}

struct OkCase {
    const char* name;
    const char16_t* boxText;
    std::optional<std::string> accepted; // as GBK; none: refused
};

void PrintTo(const OkCase& c, std::ostream* out)
{
    *out << c.name;
}

// A site-list window of its own owner, with its OK button and its box.
class SiteListWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(ok, nullptr);
        ASSERT_NE(box, nullptr);
    }

    QWidget owner;
    PresetDialogs dialogs;
    SiteListWindow window{&owner, dialogs};
    QSignalSpy closed{&window, &SiteListWindow::Closed};
    QPushButton* ok = Find<QPushButton>(window, u"按钮1");
    QPlainTextEdit* box = Find<QPlainTextEdit>(window, u"编辑框_多网站域名");
};

class SiteListOkTest : public SiteListWindowTest, public ::testing::WithParamInterface<OkCase> { };

// Each case follows an accepted list, which a refused OK keeps.
TEST_P(SiteListOkTest, KeepsTheBoxAsWrittenOrAsksForADomain)
{
    const OkCase& c = GetParam();

    window.ShowNormal();
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(window.SiteListText(), kExampleSitesText);
    ASSERT_FALSE(window.isVisible());

    window.ShowNormal();
    box->setPlainText(QString::fromUtf16(c.boxText));
    dialogs.PresetMessageAnswer(kAnswerOk);
    QTest::mouseClick(ok, Qt::LeftButton);

    if (c.accepted) {
        EXPECT_TRUE(dialogs.Messages().empty());
        EXPECT_EQ(window.SiteListText(), Gbk(*c.accepted));
        EXPECT_FALSE(window.isVisible());
    } else {
        ASSERT_EQ(dialogs.Messages().size(), 1u);
        EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral(u"请填写网站域名"));
        EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(window.SiteListText(), kExampleSitesText);
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_EQ(dialogs.Unanswered(), 0);
    EXPECT_EQ(closed.count(), 0); // OK is no close: the main window stays in multi-site mode
}

INSTANTIATE_TEST_SUITE_P(Cases, SiteListOkTest,
    ::testing::Values(OkCase{"Empty", u"", std::nullopt}, OkCase{"OneDomain", u"www.163.com", "www.163.com"},
        OkCase{"WhiteSpaceOnly", u" ", " "}, OkCase{"EmptyLines", u"\n\n", "\r\n\r\n"},
        OkCase{"ChineseAndSpacesAsWritten", u"  例子.中国 \n\nwww.qq.com\t\n", "  例子.中国 \r\n\r\nwww.qq.com\t\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SiteListWindowTest, KeepsTheLastAcceptedListWhileTheUserEditsClosesAndReopens)
{

    window.ShowNormal();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(window.SiteListText(), kExampleSitesText);

    window.ShowNormal();
    EXPECT_TRUE(window.isVisible());
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("www.baidu.com"));
    const std::string edited = kExampleSitesText + "\r\nwww.baidu.com";
    EXPECT_EQ(window.BoxText(), edited);
    EXPECT_EQ(window.SiteListText(), kExampleSitesText);

    EXPECT_TRUE(window.close());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.SiteListText(), kExampleSitesText);
    EXPECT_EQ(window.BoxText(), edited);

    // Reopened from minimised, with the box as the user left it.
    window.showMinimized();
    window.ShowNormal();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(window.SiteListText(), edited);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST(AboutWindow, LinksLeadToTheMakersPages)
{
    if (test::kThreadSanitizer)
        GTEST_SKIP() << "paints through Qt's own threads, which ThreadSanitizer cannot follow in this Qt";
    AboutWindow about;
    about.show();
    const struct {
        const char16_t* name;
        QString text;
        QStringView target;
    } links[] = {
        {u"超级链接框2", QStringLiteral(u"官网反馈"), kFeedbackPage},
        {u"超级链接框1", QStringLiteral(u"by Korrim博客"), kMakerSite},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(QString::fromUtf16(link.name).toStdString());
        auto* label = Find<QLabel>(about, link.name);
        ASSERT_NE(label, nullptr);
        const std::vector<Link> found = LinksOf(*label);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].text, link.text);
        EXPECT_EQ(found[0].target, link.target.toString());
        EXPECT_TRUE(label->openExternalLinks());
        EXPECT_TRUE(label->textInteractionFlags().testFlag(Qt::LinksAccessibleByKeyboard));
        EXPECT_EQ(label->accessibleName(), link.text);
        // Nothing covers the link, where it lies over the introduction's first line.
        EXPECT_EQ(about.childAt(label->geometry().center()), label);
    }
    // The drawn picture, not an empty box.
    auto* picture = Find<QLabel>(about, u"图片框1");
    ASSERT_NE(picture, nullptr);
    const QImage image = picture->pixmap().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(picture->pixmap().deviceIndependentSize(), QSizeF(72, 72));
    EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 4)), 0);
}

TEST(AboutWindow, ShowsModalAtItsPlaceUntilTheUserClosesIt)
{
    if (test::kThreadSanitizer)
        GTEST_SKIP() << "paints through Qt's own threads, which ThreadSanitizer cannot follow in this Qt";
    QWidget owner;
    owner.setGeometry(300, 300, 900, 600);
    owner.show();
    AboutWindow about(&owner);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        seen = true;
        EXPECT_EQ(QApplication::activeModalWidget(), &about);
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(about.pos(), QPoint(50, 50)); // not centred over the owner
        QTest::keyClick(&about, Qt::Key_Escape);
    });
    EXPECT_EQ(about.exec(), QDialog::Rejected);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace pellorin::ui
