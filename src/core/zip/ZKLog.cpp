#include "zip/ZKLog.h"
#include <spdlog/spdlog.h>

namespace ZKLog {
void write(const QString& message) { spdlog::error("{}", message.toStdString()); }
}
