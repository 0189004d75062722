#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tavik {

// The forms a plan is written in: the report as text, the saved report document, every
// figure, the irrigation table, the irrigation days as calendar events, and the drawn ones:
// the field sheet and the chart as an image.
enum class OutputFormat { Text, Rtf, Json, Csv, Ics, Pdf, Png, Svg };

struct OutputFormatName {
    OutputFormat format;
    std::string_view name; // as --format takes it
};
inline constexpr std::array<OutputFormatName, 8> kOutputFormats{{
    {OutputFormat::Text, "text"},
    {OutputFormat::Rtf, "rtf"},
    {OutputFormat::Json, "json"},
    {OutputFormat::Csv, "csv"},
    {OutputFormat::Ics, "ics"},
    {OutputFormat::Pdf, "pdf"},
    {OutputFormat::Png, "png"},
    {OutputFormat::Svg, "svg"},
}};

constexpr std::string_view formatName(OutputFormat format) {
    for (const OutputFormatName& entry : kOutputFormats) {
        if (entry.format == format) {
            return entry.name;
        }
    }
    return {};
}

constexpr std::optional<OutputFormat> outputFormatNamed(std::string_view name) {
    for (const OutputFormatName& entry : kOutputFormats) {
        if (entry.name == name) {
            return entry.format;
        }
    }
    return std::nullopt;
}

// The field sheet and the chart images need the toolkit's painting.
constexpr bool isDrawnFormat(OutputFormat format) {
    return format == OutputFormat::Pdf || format == OutputFormat::Png ||
           format == OutputFormat::Svg;
}

constexpr bool isChartImage(OutputFormat format) {
    return format == OutputFormat::Png || format == OutputFormat::Svg;
}

// Calendar events fall on dates, which only a planting date gives.
constexpr bool needsPlantingDate(OutputFormat format) {
    return format == OutputFormat::Ics;
}

// The extension of an output file: the format's name, but "txt" for the text report.
constexpr std::string_view fileExtension(OutputFormat format) {
    return format == OutputFormat::Text ? std::string_view("txt") : formatName(format);
}

} // namespace tavik
