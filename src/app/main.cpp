// The window program.
#include "app/Program.h"
#include "query/ResultPage.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "web/WebAccess.h"

#include <QApplication>
#include <QDir>
#include <QFont>

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
        pellorin::app::Program program(dialogs, std::string(pellorin::query::kDefaultSearchBase));
        QObject::connect(&application, &QCoreApplication::aboutToQuit, [&program] { program.CleanUp(); });
        pellorin::ui::MainWindow& window = program.CreateMainWindow();
        window.show();
        exitCode = QApplication::exec();
        program.CleanUp();
    }
    return exitCode;
}
