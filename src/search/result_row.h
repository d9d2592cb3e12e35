#pragma once
// The layout of one row of the result list: twelve text cells. The title details, the episode
// lists and the cast read a row back by these column numbers.

namespace mm::result_column {

inline constexpr int kName = 0;
inline constexpr int kSource = 1;
inline constexpr int kPoster = 2;
inline constexpr int kDirector = 3;
inline constexpr int kActors = 4;
inline constexpr int kGenreYear = 5;
inline constexpr int kAreaLanguage = 6;
inline constexpr int kRemarks = 7;
inline constexpr int kSynopsis = 8;
inline constexpr int kDuration = 9;
inline constexpr int kEpisodes = 10;  // never written
inline constexpr int kPlayText = 11;
inline constexpr int kCount = 12;

}  // namespace mm::result_column
