// The texts a report run shows, byte for byte (UTF-8).
#pragma once

#include <string_view>

namespace zentil::texts {

inline constexpr std::string_view kSelectSource = "Seleccione la carpeta origen";
inline constexpr std::string_view kWorking = "Procesando archivos.. Espere por favor.";
inline constexpr std::string_view kProcessedPrefix = "Archivos procesados: ";
inline constexpr std::string_view kProcessedIdle = "Archivos procesados: 0";
inline constexpr std::string_view kCountPrefix = "Cantidad de archivos procesados: ";
inline constexpr std::string_view kScorePrefix = "Zentil de la KB: ";
// After what the system says of a report in use, before RunSettings::retry.
inline constexpr std::string_view kCloseAndRetry = ". Ciérrelo en ese programa y ";

}  // namespace zentil::texts
