#pragma once

#include "foundation/Ref.h"

#include <cstdint>

// Forward declarations of the foundation stand-in, for headers that only pass these around.
class NSObject;
class NSError;
class NSException;
class NSNotification;
class NSNotificationCenter;
class NSOperation;
class NSOperationQueue;
class NSRunLoop;
class NSThread;
class NSTimer;
class NSUserDefaults;
class NSBundle;
class NSFileManager;
class NSPredicate;
class NSSortDescriptor;
class NSLocale;
class NSTimeZone;
class NSCalendar;
class NSDate;
class NSDateComponents;
class NSDateFormatter;
class NSNumberFormatter;
class NSProgress;
class NSCache;
class NSIndexSet;
class Value;
struct ClassInfo;
struct DispatchQueue;

using Class = const ClassInfo*;
using NSInteger = int32_t;
using NSUInteger = uint32_t;
using NSTimeInterval = double;
using DispatchQueueRef = Ref<DispatchQueue>;

inline constexpr NSInteger NSNotFound = INT32_MAX;

// The order of two values, as compare operations answer it.
enum NSComparisonResult : int32_t {
    NSOrderedAscending = -1,
    NSOrderedSame = 0,
    NSOrderedDescending = 1,
};

// A span of indexes or units: where it starts and how many it covers (functions in NSRange.h).
struct NSRange {
    NSUInteger location { 0 };
    NSUInteger length { 0 };
    bool operator==(const NSRange&) const = default;
};
