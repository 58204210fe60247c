#pragma once

// Random values for every published property of an object, chosen from its descriptor table
// alone, so that classes added later are covered without code of their own.

#include <QByteArray>
#include <memory>
#include <random>
#include <vector>

namespace kestrel {
class TClassInfo;
class TClassRegistry;
class TComponent;
class TPersistent;
}  // namespace kestrel

namespace kestrel::test {

// Sets each property (nested objects and collection items included) to a random value of its
// kind. A setter that refuses a value (EKestrel) keeps the old one; a setter may also coerce.
void RandomizeProperties(TPersistent& object, std::mt19937& random);

// The registry's classes that can be created and stand alone as components.
std::vector<const TClassInfo*> CreatableComponentClasses(const TClassRegistry& registry);

std::unique_ptr<TComponent> CreateComponent(const TClassInfo& info);

// The object's component stream: every stored property and custom record.
QByteArray StreamBytes(const TComponent& object);

}  // namespace kestrel::test
