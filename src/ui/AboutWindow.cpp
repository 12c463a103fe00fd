#include "ui/AboutWindow.h"

#include "ui/LabelFit.h"
#include "ui/MakerSite.h"

#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace pellorin::ui {

namespace {

// A label that opens url in the desktop's browser, by mouse or by keyboard.
QLabel* AddLink(QWidget* parent, const QString& name, const QString& caption, QStringView url, const QRect& geometry)
{
    auto* link = new QLabel(parent);
    link->setObjectName(name);
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"") % url.toString().toHtmlEscaped() % QStringLiteral("\">") %
        caption.toHtmlEscaped() % QStringLiteral("</a>"));
    link->setOpenExternalLinks(true);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setAccessibleName(caption);
    link->setToolTip(url.toString());
    link->setGeometry(geometry);
    return link;
}

QLabel* AddText(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

// The program's picture, drawn rather than shipped: a rounded square with a "P".
QPixmap ProgramPicture(QSize size, qreal pixelRatio, QFont font)
{
    QPixmap picture(size * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    QLinearGradient fill(square.topLeft(), square.bottomRight());
    fill.setColorAt(0, QColor(0x3d, 0x8b, 0xe0));
    fill.setColorAt(1, QColor(0x1c, 0x4f, 0x9c));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(square, square.width() / 6, square.height() / 6);
    font.setBold(true);
    font.setPixelSize(static_cast<int>(square.height() * 0.6));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(square, Qt::AlignCenter, QStringLiteral("P"));
    return picture;
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral(u"关于软件"));
    // The design's geometry was drawn for a 9 pt font.
    QFont designFont = font();
    designFont.setPointSize(9);
    setFont(designFont);

    // Before the feedback link, which sits on its first line and must stay above it for clicks.
    QLabel* introduction = AddText(this, QStringLiteral(u"标签8"),
        QStringLiteral(
            u"软件介绍：\n\n1、软件支持多线程、快速批量查询百度排名\n\n2、线程都可以自己设置的哦，也可直接写入数字\n\n"
            u"3、查询间隔也可设置，如果没有数据可设置时间长一点\n\n4、支持查询结果导出为csv表格，大家可用excel处理"),
        QRect(16, 298, 400, 120));
    introduction->setWordWrap(true);
    introduction->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    AddLink(this, QStringLiteral(u"超级链接框2"), QStringLiteral(u"官网反馈"), kFeedbackPage, QRect(80, 296, 53, 16));

    auto* updates = new QGroupBox(QStringLiteral(u"更新日志："), this);
    updates->setObjectName(QStringLiteral(u"分组框1"));
    updates->setGeometry(16, 144, 400, 136);
    QLabel* notes = AddText(updates, QStringLiteral(u"标签_最新更新日志"),
        QStringLiteral(u"2013年9月30日：升级至V2.1，微调软件界面，及部分潜在的bug修复，更多说明请访问 ") %
            kFeedbackPage.toString() %
            QStringLiteral(u"\n\n2013年9月25日：升级至2.0-添加多站点多关键词查询；查询智能等待，部分BUG修复\n\n"
                           u"2013年9月22日：添加导出数据功能、添加查询间隔设置功能\n\n2013年9月21日：版本1.0发布"),
        QRect(8, 20, 384, 112));
    notes->setWordWrap(true);
    notes->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral(u"图片框1"));
    picture->setGeometry(40, 30, 72, 72);
    picture->setPixmap(ProgramPicture(picture->size(), devicePixelRatioF(), font()));

    QLabel* version =
        AddText(this, QStringLiteral(u"标签1"), QStringLiteral(u"Pellorin\n\nv2.1"), QRect(156, 32, 132, 48));
    version->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    AddLink(this, QStringLiteral(u"超级链接框1"), QStringLiteral(u"by Korrim博客"), kMakerSite, QRect(181, 92, 90, 20));

    ShrinkLabelsToFit(*this);
    setFixedSize(435, 466);
    move(50, 50);
}

} // namespace pellorin::ui
