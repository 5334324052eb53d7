#include "service/ServiceControls.h"

#include <QEventLoop>
#include <QTimer>

namespace mv53::service {

void Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace mv53::service
