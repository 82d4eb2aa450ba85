#pragma once
#include <QString>
#include <type_traits>

// The archive code's error reports, written to the application's log. Arguments fill %1, %2,
// ... in one pass, so a name holding "%2" stays as it is.
namespace ZKLog {
void write(const QString& message);

inline QString text(const QString& value) { return value; }
template <typename Number>
    requires std::is_arithmetic_v<Number>
QString text(Number value) { return QString::number(value); }

template <typename... Args>
void error(const QString& format, const Args&... args) {
    if constexpr (sizeof...(args) == 0)
        write(format);
    else
        write(format.arg(text(args)...));
}
}  // namespace ZKLog
