#pragma once

// Capabilities that an object implements but offers only in some of its states (a text offers
// its curve only while no distortion bends it). Queries that care go through Offered.

#include <typeinfo>

namespace kestrel {

class IConditionalCapabilities {
public:
    virtual ~IConditionalCapabilities() = default;
    // Whether the object offers the capability, which it implements, in its present state.
    virtual bool Offers(const std::type_info& capability) const = 0;
};

// The capability I of an object when the object offers it now; null otherwise.
template <class I, class T>
I* Offered(T* object)
{
    auto* capability = dynamic_cast<I*>(object);
    const auto* conditions = dynamic_cast<const IConditionalCapabilities*>(object);
    return capability && (!conditions || conditions->Offers(typeid(I))) ? capability : nullptr;
}

}  // namespace kestrel
