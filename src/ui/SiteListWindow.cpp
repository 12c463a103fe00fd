#include "ui/SiteListWindow.h"

#include "ui/Dialogs.h"
#include "ui/LabelFit.h"
#include "ui/MakerSite.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace pellorin::ui {

SiteListWindow::SiteListWindow(QWidget* owner, Dialogs& dialogs)
    : QWidget(owner, Qt::Window)
    , m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral(u"请输入要查询的站点"));
    // The design's geometry was drawn for a 9 pt font.
    QFont designFont = font();
    designFont.setPointSize(9);
    setFont(designFont);

    auto* ok = new QPushButton(QStringLiteral(u"确定"), this);
    ok->setObjectName(QStringLiteral(u"按钮1"));
    ok->setGeometry(53, 280, 102, 29);

    auto* caption = new QLabel(QStringLiteral(u"网站域名（一行一个，个数不限）"), this);
    caption->setObjectName(QStringLiteral(u"标签1"));
    caption->setGeometry(13, 35, 195, 24);

    QStringList sites;
    for (const QStringView site : kExampleSites)
        sites.append(site.toString());
    m_box = new QPlainTextEdit(sites.join(u'\n'), this);
    m_box->setObjectName(QStringLiteral(u"编辑框_多网站域名"));
    m_box->setGeometry(8, 65, 192, 208);
    // One domain a line: a wrapped long domain would look like two.
    m_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to OK, for keyboard users; a tab is no part of a domain.
    m_box->setTabChangesFocus(true);
    caption->setBuddy(m_box);
    m_box->setAccessibleName(caption->text());

    auto* title = new QLabel(QStringLiteral(u"竞争对手排名分析"), this);
    title->setObjectName(QStringLiteral(u"标签2"));
    title->setGeometry(83, 10, 120, 16);

    ShrinkLabelsToFit(*this);
    setFixedSize(218, 347);
    move(50, 50);

    connect(ok, &QPushButton::clicked, this, &SiteListWindow::Confirm);
}

text::Text SiteListWindow::BoxText() const
{
    // The box shows lines ended by LF; the program's texts end them by CR LF.
    return FromQString(m_box->toPlainText().replace(u'\n', QStringLiteral("\r\n")));
}

void SiteListWindow::ShowNormal()
{
    showNormal();
    raise();
    activateWindow();
}

void SiteListWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT Closed();
}

void SiteListWindow::Confirm()
{
    text::Text text = BoxText();
    // Only an empty box is refused: white space is the user's to write.
    if (text.empty()) {
        m_dialogs.Message(QStringLiteral(u"请填写网站域名"), MessageButtons::Ok);
        return;
    }
    hide();
    m_siteListText.Set(std::move(text));
}

} // namespace pellorin::ui
