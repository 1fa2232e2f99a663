#pragma once

#include <memory>

// Strong and weak object references. Owners hold Ref, back links (superview, delegate,
// observer, parent) hold Weak.
template <typename T> using Ref = std::shared_ptr<T>;

template <typename T> using Weak = std::weak_ptr<T>;
