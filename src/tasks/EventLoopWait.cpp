#include "tasks/EventLoopWait.h"

#include <QCoreApplication>
#include <QThread>

namespace pellorin::tasks {

bool CanWaitInEventLoop()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

} // namespace pellorin::tasks
