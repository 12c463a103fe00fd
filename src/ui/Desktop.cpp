#include "ui/Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace pellorin::ui {

bool OpenUrl(const QString& url)
{
    // Tolerant, as result links may hold raw Chinese or spaces.
    return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

QString ProgramDirectory()
{
    return QCoreApplication::applicationDirPath();
}

void EndProgram()
{
    QCoreApplication::exit(0);
}

} // namespace pellorin::ui
