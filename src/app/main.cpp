// The window program.
#include "app/Program.h"
#include "query/ResultPage.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "web/WebAccess.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStringList>

namespace {

// The search base: the engine's own, or the one given by "--engine URL" (a mirror, or the
// project's fake engine). The program reads no other argument.
std::string SearchBase(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--engine"));
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1].toStdString();
    return std::string(pellorin::query::kDefaultSearchBase);
}

} // namespace

int main(int argc, char** argv)
{
    pellorin::web::InitializeWebAccess(); // before any thread starts
    QApplication application(argc, argv);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    pellorin::ui::QtDialogs dialogs;
    int exitCode = 0;
    {
        pellorin::app::Program program(dialogs, SearchBase(QCoreApplication::arguments()));
        QObject::connect(&application, &QCoreApplication::aboutToQuit, [&program] { program.CleanUp(); });
        pellorin::ui::MainWindow& window = program.CreateMainWindow();
        window.show();
        exitCode = QApplication::exec();
        program.CleanUp();
    }
    return exitCode;
}
