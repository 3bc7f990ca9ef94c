#include "tarvo/plan/PlayType.h"

#include <stdexcept>
#include <string>

namespace tarvo {

PlayType PlayTypeAt(int position) {
    if (position < 0 || position >= PlayTypeCount)
        throw std::invalid_argument("玩法位置 " + std::to_string(position) + " 不在 0..7 之内");
    return static_cast<PlayType>(position);
}

} // namespace tarvo
