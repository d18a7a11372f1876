// Which way a text is translated: plain to encoded, or back.
#pragma once

namespace lorimand {

enum class Direction
{
    Encode,
    Decode
};

} // namespace lorimand
