// The dialogs: Qt's, answered by clicking them the moment they show, and the preset answers
// that window tests give instead of a person.
#include "ui/Dialogs.h"

#include "support/Sanitizers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace pellorin::ui {
namespace {

// Runs answer on the visible dialog of type D once the window thread's next dialog shows.
// Dialogs run their own event loop, in which this posted call comes.
template<class D>
void AnswerWhenShown(std::function<void(D&)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<D*>(widget); dialog != nullptr && dialog->isVisible()) {
                EXPECT_EQ(QApplication::activeModalWidget(), dialog);
                answer(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no dialog showed";
    });
}

struct MessageCase {
    const char* name;
    MessageButtons buttons;
    QMessageBox::StandardButtons shown;
    QMessageBox::StandardButton click; // NoButton: press Escape
    int expected;
};

class QtMessageTest : public ::testing::TestWithParam<MessageCase> { };

TEST_P(QtMessageTest, ShowsTheQuestionAndReturnsTheAnswer)
{
    const MessageCase& c = GetParam();
    const QString text = QStringLiteral(u"确定要清除列表吗？<b>全部</b>");
    AnswerWhenShown<QMessageBox>([&](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral(u"信息："));
        EXPECT_EQ(box.text(), text);
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box.standardButtons(), c.shown);
        if (c.click == QMessageBox::NoButton)
            QTest::keyClick(&box, Qt::Key_Escape);
        else
            box.button(c.click)->click();
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.Message(text, c.buttons), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, QtMessageTest,
    ::testing::Values(MessageCase{"Ok", MessageButtons::Ok, QMessageBox::Ok, QMessageBox::Ok, kAnswerOk},
        MessageCase{"EscapeOnOk", MessageButtons::Ok, QMessageBox::Ok, QMessageBox::NoButton, kAnswerOk},
        MessageCase{"Yes", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, kAnswerYes},
        MessageCase{"No", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, kAnswerNo},
        MessageCase{"EscapeMeansNo", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton,
            kAnswerNo}),
    [](const auto& info) { return std::string(info.param.name); });

struct SaveCase {
    const char* name;
    const char* startName;
    bool accept;
    bool confirmed;
    const char* chosenName; // in the starting folder
};

class QtSaveFileTest : public ::testing::TestWithParam<SaveCase> { };

using test::kThreadSanitizer;

TEST_P(QtSaveFileTest, OffersTheStartingNameAndReturnsTheChoice)
{
    if (kThreadSanitizer) {
        GTEST_SKIP() << "Qt's file dialog reads folders on a thread of its own, synchronised by a Qt not built with "
                        "ThreadSanitizer, which then reports races it cannot see through; SaveFile has no threads";
    }
    const SaveCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const SaveFileRequest request{QStringLiteral(u"导出排名"), QStringLiteral(u"CSV 文件 (*.csv)"),
        QStringLiteral("csv"), folder.filePath(QString::fromUtf8(c.startName))};
    AnswerWhenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), request.title);
        EXPECT_EQ(dialog.nameFilters(), QStringList{request.filter});
        EXPECT_EQ(dialog.defaultSuffix(), request.defaultSuffix);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
        // QFileDialog's own accept() (protected there) checks the name and adds the suffix.
        QDialog& asDialog = dialog;
        if (c.accept)
            asDialog.accept();
        else
            asDialog.reject();
    });
    QtDialogs dialogs;
    const SaveFileChoice choice = dialogs.SaveFile(request);
    EXPECT_EQ(choice.confirmed, c.confirmed);
    EXPECT_EQ(choice.path, c.confirmed ? folder.filePath(QString::fromUtf8(c.chosenName)) : QString());
}

INSTANTIATE_TEST_SUITE_P(Cases, QtSaveFileTest,
    ::testing::Values(SaveCase{"DefaultSuffixAdded", "排名报告", true, true, "排名报告.csv"},
        SaveCase{"OwnSuffixKept", "ranks.txt", true, true, "ranks.txt"},
        SaveCase{"Cancelled", "排名报告", false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PresetDialogs, AnswersInOrderAndDeclinesWhenOutOfAnswers)
{
    PresetDialogs dialogs;
    dialogs.PresetMessageAnswer(kAnswerYes);
    dialogs.PresetMessageAnswer(kAnswerOk);
    dialogs.PresetSaveChoice({true, QStringLiteral("/tmp/ranks.csv")});

    EXPECT_EQ(dialogs.Message(QStringLiteral(u"清除？"), MessageButtons::YesNo), kAnswerYes);
    EXPECT_EQ(dialogs.Message(QStringLiteral(u"完成"), MessageButtons::Ok), kAnswerOk);
    EXPECT_EQ(dialogs.Message(QStringLiteral(u"再清除？"), MessageButtons::YesNo), kAnswerNo);
    EXPECT_EQ(dialogs.Unanswered(), 1);
    ASSERT_EQ(dialogs.Messages().size(), 3u);
    EXPECT_EQ(dialogs.Messages()[2].text, QStringLiteral(u"再清除？"));
    EXPECT_EQ(dialogs.Messages()[2].buttons, MessageButtons::YesNo);

    const SaveFileRequest request{
        QStringLiteral("t"), QStringLiteral("*.csv"), QStringLiteral("csv"), QStringLiteral("r")};
    const SaveFileChoice first = dialogs.SaveFile(request);
    EXPECT_TRUE(first.confirmed);
    EXPECT_EQ(first.path, QStringLiteral("/tmp/ranks.csv"));
    EXPECT_FALSE(dialogs.SaveFile(request).confirmed);
    EXPECT_EQ(dialogs.Unanswered(), 2);
    ASSERT_EQ(dialogs.SaveRequests().size(), 2u);
    EXPECT_EQ(dialogs.SaveRequests()[1].defaultSuffix, QStringLiteral("csv"));
}

} // namespace
} // namespace pellorin::ui
