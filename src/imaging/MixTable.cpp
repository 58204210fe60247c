#include "imaging/MixTable.h"

#include <memory>

namespace kestrel {

const TMixTable& MixTable()
{
    static const std::unique_ptr<TMixTable> table = [] {
        auto t = std::make_unique<TMixTable>();
        for (int k = 0; k < 256; ++k)
            for (int d = -255; d <= 255; ++d) (*t)[k][d + 255] = static_cast<uint8_t>(k * d / 255);
        return t;
    }();
    return *table;
}

}  // namespace kestrel
