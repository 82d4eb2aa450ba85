#include "util/Log.h"

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_color_sinks.h>

namespace {

// "[%-5p]": the level in capitals, padded to five characters.
class LevelFlag : public spdlog::custom_flag_formatter {
public:
    void format(const spdlog::details::log_msg& msg, const std::tm&, spdlog::memory_buf_t& dest) override {
        static const char* names[] = {"TRACE", "DEBUG", "INFO ", "WARN ", "ERROR", "FATAL", "OFF  "};
        const std::string_view name = names[msg.level];
        dest.append(name.data(), name.data() + name.size());
    }
    std::unique_ptr<custom_flag_formatter> clone() const override { return std::make_unique<LevelFlag>(); }
};

std::unique_ptr<spdlog::formatter> makeFormatter() {
    auto formatter = std::make_unique<spdlog::pattern_formatter>();
    formatter->add_flag<LevelFlag>('*').set_pattern("[%*]: %v");
    return formatter;
}

} // namespace

namespace Log {

void setup(const QString& logFile, spdlog::level::level_enum level) {
    std::vector<spdlog::sink_ptr> sinks{std::make_shared<spdlog::sinks::stderr_color_sink_mt>()};
    if (!logFile.isEmpty()) {
        try {
            sinks.push_back(std::make_shared<spdlog::sinks::basic_file_sink_mt>(logFile.toStdString()));
        } catch (const spdlog::spdlog_ex& e) {
            fprintf(stderr, "cannot open log file %s: %s\n", qPrintable(logFile), e.what());
        }
    }
    auto logger = std::make_shared<spdlog::logger>("leafmill", sinks.begin(), sinks.end());
    logger->set_formatter(makeFormatter());
    logger->set_level(level);
    spdlog::set_default_logger(logger);
}

void system(const QString& text) { spdlog::debug("{}", text); }

} // namespace Log
