#include "tarvo/app/StartUpTrace.h"

#include <QDateTime>
#include <QFile>

namespace tarvo {

StartUpTrace::StartUpTrace()
    : file_(qEnvironmentVariable("TARVO_START_UP_TRACE")) {}

void StartUpTrace::note(const char* phase) const {
    if (file_.isEmpty())
        return;
    const double seconds = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    QFile file(file_);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(QByteArray(phase) + ' ' + QByteArray::number(seconds, 'f', 3) + '\n');
}

} // namespace tarvo
