#pragma once
#include <QString>
#include <spdlog/spdlog.h>
#include <spdlog/fmt/fmt.h>

// Logging goes through spdlog with the pattern "[LEVEL]: text". QString can be formatted directly.
template <>
struct fmt::formatter<QString> : fmt::formatter<std::string_view> {
    template <typename Ctx>
    auto format(const QString& s, Ctx& ctx) const {
        const QByteArray utf8 = s.toUtf8();
        return fmt::formatter<std::string_view>::format(std::string_view(utf8.constData(), utf8.size()), ctx);
    }
};

namespace Log {
// Console logger on standard error; also a file when a path is given. Safe to call again.
void setup(const QString& logFile = {}, spdlog::level::level_enum level = spdlog::level::info);
// Where a few messages go that the desktop would write to the system log (info level here).
void system(const QString& text);
}
