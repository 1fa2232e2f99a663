#pragma once

#include "foundation/FoundationForward.h"

#include <functional>
#include <string_view>

class NSCoder;

// An object that keyed archives can hold. Mix it into an NSObject subclass, write the fields in
// encodeWithCoder and register a decoding factory (the class's initWithCoder) by class name:
//
//   class KESTThing : public NSObject, public NSCoding {
//       VX_OBJECT(KESTThing, NSObject)
//   public:
//       static Ref<KESTThing> initWithCoder(NSCoder& coder);
//       void encodeWithCoder(NSCoder& coder) override;
//   };
//   VX_REGISTER_CODING_CLASS(KESTThing);   // in the .cpp
//
// A factory answers nullptr to refuse the data (the archive then reads nil there); it may
// also call coder.failWithError to fail the whole decoding.
class NSCoding {
public:
    virtual ~NSCoding() = default;
    virtual void encodeWithCoder(NSCoder& coder) = 0;
};

using NSCodingFactory = std::function<Ref<NSObject>(NSCoder& coder)>;

// Registers the decoding factory of `cls` (and the class itself, when it is not registered
// yet, so NSClassFromString finds it). Any thread.
bool registerCodingClass(Class cls, NSCodingFactory factory);
// The factory registered for a class name, or an empty function.
NSCodingFactory codingFactoryForClassName(std::string_view name);

#define VX_REGISTER_CODING_CLASS(Name)                                                                                 \
    static const bool s_vxCoding_##Name = ::registerCodingClass(                                                       \
        Name::classObject(), [](NSCoder& coder) -> Ref<NSObject> { return Name::initWithCoder(coder); })
