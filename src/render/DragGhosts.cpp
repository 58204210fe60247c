#include "render/DragGhosts.h"

#include <utility>

namespace kestrel {

namespace {
IDragGhosts*& Current()
{
    static IDragGhosts* ghosts = nullptr;
    return ghosts;
}
}  // namespace

IDragGhosts* DragGhosts()
{
    return Current();
}

IDragGhosts* SetDragGhosts(IDragGhosts* ghosts)
{
    return std::exchange(Current(), ghosts);
}

}  // namespace kestrel
