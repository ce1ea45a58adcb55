#pragma once
// Where the program keeps its own per-user choices (apart from the charts' palette setting).

inline constexpr auto SettingsOrganization = "RiffScope";
inline constexpr auto SettingsApplication = "riffscope";
