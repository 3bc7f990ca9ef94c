#pragma once

namespace tarvo {

// The eight play types, numbered as the positions of the play-type radio group (0 前一 .. 7 任五).
enum class PlayType { Front1, Front2, Front3, Any1, Any2, Any3, Any4, Any5 };

inline constexpr int PlayTypeCount = 8;

// The play type at a radio position 0..7; throws std::invalid_argument for any other position.
PlayType PlayTypeAt(int position);

} // namespace tarvo
