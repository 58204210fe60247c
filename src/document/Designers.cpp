#include "document/Designers.h"

#include <utility>

namespace kestrel {

namespace {
IObjectDesigners*& Current()
{
    static IObjectDesigners* designers = nullptr;
    return designers;
}
}  // namespace

IObjectDesigners* ObjectDesigners()
{
    return Current();
}

IObjectDesigners* SetObjectDesigners(IObjectDesigners* designers)
{
    return std::exchange(Current(), designers);
}

}  // namespace kestrel
