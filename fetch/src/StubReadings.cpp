// Temporary until the JSON and text readers land.
#include "NetworkReading.h"

namespace tarvo {
SourceReading* StartJsonReading(const SourceConfig&, const ReadRequest&, QNetworkAccessManager&,
                                std::chrono::milliseconds, ReadDone, QObject*) {
    return nullptr;
}
SourceReading* StartFileReading(const SourceConfig&, const ReadRequest&, ReadDone, QObject*) {
    return nullptr;
}
} // namespace tarvo
